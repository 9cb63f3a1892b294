#pragma once
// Keeps the frame loop at a fixed rate. A swap that waits for a 60 Hz vertical blank
// paces the loop by itself; where swaps come at another rate (no vsync, as under a
// virtual display, or a 120 or 144 Hz monitor), or come back at once (a minimised,
// hidden or covered window), the pacer sleeps until each frame's deadline on a
// high-resolution clock instead.

#include <cstdint>
#include <functional>

class FramePacer {
 public:
  using Clock = std::function<double()>;      // seconds, monotonic
  using Sleep = std::function<void(double)>;  // sleeps that many seconds, to a fraction of a ms

  FramePacer(Clock clock, Sleep sleep, double frames_per_second = 60.0);

  // Whether the swap itself is trusted to pace the loop (a vsync'd 60 Hz display).
  void TrustSwap(bool trusted) { swap_trusted_ = trusted; }
  bool SwapTrusted() const { return swap_trusted_; }

  // Called right after each buffer swap; returns when the next frame may start.
  void FrameDone();

 private:
  void WatchSwapRate(double now);
  void WaitForDeadline(double now);

  Clock clock_;
  Sleep sleep_;
  double period_;
  double deadline_ = 0.0;
  bool started_ = false;
  bool swap_trusted_ = false;
  // Measurement of the swap-paced rate, so a display that does not wait is caught.
  int watched_frames_ = 0;
  double watch_start_ = 0.0;
};
