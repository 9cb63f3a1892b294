#pragma once
// Everything the game frame needs from the operating system, apart from drawing:
// window, presentation, input, clock and audio. The desktop implementation is
// SdlPlatform; HeadlessPlatform drives the frame from a script with no window.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio.h"
#include "platform/input.h"

// Flags of OpenGraphics.
constexpr int kGraphicsBackBuffer = 2;
constexpr int kGraphicsDepthBuffer = 8;

class Platform {
 public:
  virtual ~Platform() = default;

  // The window caption; set before OpenGraphics.
  std::string AppTitleText;

  // Opens the window and makes its OpenGL context current. On failure it has said why
  // in one line on stderr and returns false.
  virtual bool OpenGraphics(int width, int height, int depth, int hertz, int flags) = 0;
  // Shows the finished frame; every frame starts from the image the previous one ended
  // with. Returns when the next frame is due, 60 times a second.
  virtual void PresentFrame(int sync) = 0;
  // Milliseconds from an arbitrary origin, wrapping as a signed 32-bit integer.
  virtual int32_t ClockMillis() = 0;
  // The audio output the game plays through.
  virtual std::unique_ptr<TAudioDriver> OpenAudio() = 0;

  // Input queries first take in pending window events.
  int KeyIsDown(int key);
  int KeyPressCount(int key);
  int MouseIsDown(int button);
  int MouseClickCount(int button);
  int PointerX();
  int PointerY();
  void ResetMouseState();
  int CloseRequested();
  // Where a game pad's aim is taken from: the ship, which the right stick points around.
  void SetAimOrigin(float x, float y) {
    aim_x_ = x;
    aim_y_ = y;
  }

 protected:
  virtual void PumpEvents() = 0;
  InputState input_;
  float aim_x_ = 0, aim_y_ = 0;
};
