#include "platform/headless_platform.h"

HeadlessPlatform::HeadlessPlatform(Audio audio, int32_t start_millis)
    : audio_(audio), start_millis_(start_millis) {}

bool HeadlessPlatform::OpenGraphics(int, int, int, int, int) {
  graphics_open_ = true;
  return true;
}

void HeadlessPlatform::PresentFrame(int) {
  ++frames_presented_;
  ++clock_frames_;
}

int32_t HeadlessPlatform::ClockMillis() {
  // Wraps like the desktop clock does.
  const int64_t millis = start_millis_ + clock_frames_ * 1000 / 60;
  return static_cast<int32_t>(static_cast<uint32_t>(millis));
}

void HeadlessPlatform::SetClock(int32_t millis) {
  start_millis_ = millis;
  clock_frames_ = 0;
}

std::unique_ptr<TAudioDriver> HeadlessPlatform::OpenAudio() {
  return SelectAudioDriver(audio_ == Audio::Loopback ? "Loopback" : "Silent");
}
