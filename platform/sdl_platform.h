#pragma once
// The desktop platform: an SDL window with an OpenGL compatibility context, drawn
// through an off-screen frame that persists from frame to frame, paced at 60 frames
// per second whatever the display's refresh rate.

#include <cstdint>

#include "platform/frame_pacer.h"
#include "platform/gamepad.h"
#include "platform/platform.h"

struct SDL_Window;

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
  void HandlePadEvent(const union SDL_Event& event);

  SDL_Window* window_ = nullptr;
  void* context_ = nullptr;
  unsigned frame_buffer_ = 0;
  unsigned colour_buffer_ = 0;
  unsigned depth_buffer_ = 0;
  int width_ = 0, height_ = 0;
  FramePacer pacer_;
  GamepadMapper pads_;
};
