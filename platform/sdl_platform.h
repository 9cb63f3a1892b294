#pragma once
// The desktop platform: an SDL window with an OpenGL compatibility context, drawn
// through an off-screen frame that persists from frame to frame, paced at 60 frames
// per second whatever the display's refresh rate. The window opens at the frame's size
// and can be resized, maximised or made fullscreen (F11); the frame is then shown
// scaled with its aspect kept, and the pointer is reported in frame pixels.

#include <cstdint>

#include "platform/frame_pacer.h"
#include "platform/gamepad.h"
#include "platform/gl_frame.h"
#include "platform/letterbox.h"
#include "platform/platform.h"

struct SDL_Window;
struct SDL_KeyboardEvent;
struct SDL_WindowEvent;

class SdlPlatform : public Platform {
 public:
  SdlPlatform();
  ~SdlPlatform() override;
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  bool OpenGraphics(int width, int height, int depth, int hertz, int flags) override;
  void PresentFrame(int sync) override;
  int32_t ClockMillis() override;
  std::unique_ptr<TAudioDriver> OpenAudio() override;

 protected:
  void PumpEvents() override;

 private:
  bool CreateContext();
  bool CreatePersistentFrame();
  void ChoosePacing(int hertz);
  void HandleEvent(const union SDL_Event& event);
  void HandleKey(const SDL_KeyboardEvent& key);
  void HandlePadEvent(const union SDL_Event& event);
  void HandleWindowEvent(const SDL_WindowEvent& window);
  void PointerAt(int window_x, int window_y);
  void ToggleFullscreen();
  Letterbox PointerBox() const;
  void BlitFrameToWindow();

  SDL_Window* window_ = nullptr;
  void* context_ = nullptr;
  GlFrame frame_;
  int width_ = 0, height_ = 0;
  // Where the last mouse event put the pointer, in the window and in the frame.
  int mouse_window_x_ = 0, mouse_window_y_ = 0;
  FramePoint mouse_frame_point_{0, 0};
  FramePacer pacer_;
  GamepadMapper pads_;
};
