#pragma once
// An OpenGL context of its own with an off-screen frame and no visible window, for
// tests and benchmarks that draw with real OpenGL (on the virtual display of the test
// command). Several may exist at once; each draws only into its own frame.

#include <memory>

#include "platform/gl_frame.h"

class OffscreenGl {
 public:
  // None, with the reason in Failure(), when there is no display or no usable OpenGL.
  static std::unique_ptr<OffscreenGl> Open(int width, int height);
  static const char* Failure();
  ~OffscreenGl();
  OffscreenGl(const OffscreenGl&) = delete;
  OffscreenGl& operator=(const OffscreenGl&) = delete;

  // Makes this context current on the calling thread.
  void MakeCurrent();
  // Waits until everything drawn so far is in the frame.
  void Finish();

 private:
  OffscreenGl() = default;
  bool Create(int width, int height);

  struct SDL_Window* window_ = nullptr;
  void* context_ = nullptr;
  GlFrame frame_;
};
