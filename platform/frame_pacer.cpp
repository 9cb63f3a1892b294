#include "platform/frame_pacer.h"

namespace {
// A trusted swap that averages more than this share below the period, over this many
// frames, is not waiting for the vertical blank. (Averaging above it is a slow frame,
// which no pacing can mend.)
constexpr double kSwapTolerance = 0.05;
constexpr int kWatchFrames = 20;
// Further behind than this, the loop gives up catching up rather than racing.
constexpr int kMaxFramesBehind = 3;
// A trusted swap that comes back sooner than this share of a period after the previous
// frame did not wait for any vertical blank: the window is minimised, hidden or covered.
constexpr double kEarlySwapShare = 0.5;
}  // namespace

FramePacer::FramePacer(Clock clock, Sleep sleep, double frames_per_second)
    : clock_(std::move(clock)), sleep_(std::move(sleep)), period_(1.0 / frames_per_second) {}

void FramePacer::FrameDone() {
  const double now = clock_();
  if (swap_trusted_) {
    WatchSwapRate(now);
    // The swap no longer waits: from this very frame on the pacer does, so the loop
    // never races.
    if (started_ && now - deadline_ < period_ * kEarlySwapShare) swap_trusted_ = false;
  }
  if (swap_trusted_) {
    deadline_ = now;
    started_ = true;
    return;
  }
  WaitForDeadline(now);
}

void FramePacer::WatchSwapRate(double now) {
  if (watched_frames_ == 0) watch_start_ = now;
  if (++watched_frames_ <= kWatchFrames) return;
  const double average = (now - watch_start_) / kWatchFrames;
  watched_frames_ = 0;
  if (average < period_ * (1.0 - kSwapTolerance)) swap_trusted_ = false;
}

void FramePacer::WaitForDeadline(double now) {
  deadline_ = started_ ? deadline_ + period_ : now;
  started_ = true;
  if (now - deadline_ > kMaxFramesBehind * period_) deadline_ = now;
  // Sleeping, never polling: a game in a minimised window must not keep a core busy.
  // The sleep is repeated only when it ends early.
  for (double left = deadline_ - now; left > 0.0; left = deadline_ - clock_()) sleep_(left);
}
