#pragma once
// A platform without a window, for tests and benchmarks: input comes from the caller,
// the clock advances by one frame (16 or 17 ms, 1000 ms per 60 frames) on each
// presentation, and the audio is silent or the offline loopback mixer.

#include "platform/platform.h"

class HeadlessPlatform : public Platform {
 public:
  enum class Audio { Silent, Loopback };
  explicit HeadlessPlatform(Audio audio = Audio::Silent, int32_t start_millis = 0);

  bool OpenGraphics(int width, int height, int depth, int hertz, int flags) override;
  void PresentFrame(int sync) override;
  int32_t ClockMillis() override;
  std::unique_ptr<TAudioDriver> OpenAudio() override;

  // The input the next queries see.
  InputState& Input() { return input_; }
  void SetClock(int32_t millis);
  long FramesPresented() const { return frames_presented_; }
  bool GraphicsOpen() const { return graphics_open_; }

 protected:
  void PumpEvents() override {}

 private:
  Audio audio_;
  int32_t start_millis_;
  long frames_presented_ = 0;
  long clock_frames_ = 0;
  bool graphics_open_ = false;
};
