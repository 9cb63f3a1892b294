#pragma once
// A recording replayed onto a real OpenGL back end in a context and frame of its own,
// for the tests that compare back ends pixel by pixel and the benchmarks that time them.

#include <memory>
#include <string>
#include <vector>

#include "platform/offscreen_gl.h"
#include "render/gl.h"
#include "render/gl_recording.h"

enum class Backend { Literal, Batching };

const char* NameOf(Backend backend);

class ReplayTarget {
 public:
  // None when there is no display or the back end cannot run here; the reason is then in
  // failure.
  static std::unique_ptr<ReplayTarget> Open(Backend backend, const GlRecording& recording,
                                            std::string& failure);
  ~ReplayTarget();

  // Clears the frame to the colour the game starts from, then sets up the recording's
  // textures and state.
  void Start();
  // Replays the next recorded frame and waits until it is drawn; false when none is left.
  bool Frame();
  // The frame's RGBA bytes, bottom row first.
  std::vector<uint8_t> Pixels();
  Gl& gl() { return *gl_; }

  static constexpr int kSize = 700;

 private:
  ReplayTarget() = default;

  std::unique_ptr<OffscreenGl> context_;
  std::unique_ptr<Gl> gl_;
  std::unique_ptr<GlReplayer> replayer_;
};
