#include "platform/frame_pacer.h"

#include <gtest/gtest.h>

namespace {

// A clock that moves when the pacer sleeps, a little each time it is read (polling
// takes time too), and when the test says a frame took time.
struct FakeTime {
  double now = 100.0;
  double slept = 0.0;
  long reads = 0;
  FramePacer Pacer() {
    return FramePacer(
        [this] {
          ++reads;
          now += 1e-5;
          return now;
        },
        [this](double seconds) {
          now += seconds;
          slept += seconds;
        });
  }
};

TEST(FramePacer, FastFramesAreHeldToSixtyPerSecond) {
  FakeTime time;
  FramePacer pacer = time.Pacer();
  const double start = time.now;
  pacer.FrameDone();  // the first frame sets the beat
  for (int frame = 0; frame < 600; ++frame) {
    time.now += 0.001;  // a frame's work takes 1 ms
    pacer.FrameDone();
  }
  EXPECT_NEAR(time.now - start, 10.0, 0.01);
  EXPECT_LE(time.reads, 601 * 3);  // a read after the work, one after each sleep
}

TEST(FramePacer, AFrameThatRunsLateIsMadeUpByTheNext) {
  FakeTime time;
  FramePacer pacer = time.Pacer();
  pacer.FrameDone();
  const double start = time.now;
  time.now += 0.025;  // one slow frame
  pacer.FrameDone();
  time.now += 0.001;
  pacer.FrameDone();
  EXPECT_NEAR(time.now - start, 2.0 / 60.0, 2e-5);  // one clock read after the deadline
}

TEST(FramePacer, FallingFarBehindDoesNotRaceToCatchUp) {
  FakeTime time;
  FramePacer pacer = time.Pacer();
  pacer.FrameDone();
  time.now += 1.0;  // a long stall (the window was dragged)
  pacer.FrameDone();
  const double after_stall = time.now;
  time.now += 0.001;
  pacer.FrameDone();
  EXPECT_NEAR(time.now - after_stall, 1.0 / 60.0, 2e-5);
}

TEST(FramePacer, ATrustedSwapIsNotWaitedOnAgain) {
  FakeTime time;
  FramePacer pacer = time.Pacer();
  pacer.TrustSwap(true);
  for (int frame = 0; frame < 100; ++frame) {
    time.now += 1.0 / 60.0;  // the swap waited for a 60 Hz vertical blank
    pacer.FrameDone();
  }
  EXPECT_TRUE(pacer.SwapTrusted());
  EXPECT_EQ(time.slept, 0.0);
}

TEST(FramePacer, ASwapThatDoesNotWaitLosesTrust) {
  FakeTime time;
  FramePacer pacer = time.Pacer();
  pacer.TrustSwap(true);
  for (int frame = 0; frame < 100; ++frame) {
    time.now += 1.0 / 144.0;  // a 144 Hz display
    pacer.FrameDone();
  }
  EXPECT_FALSE(pacer.SwapTrusted());
  const double start = time.now;
  for (int frame = 0; frame < 60; ++frame) {
    time.now += 1.0 / 144.0;
    pacer.FrameDone();
  }
  EXPECT_NEAR(time.now - start, 1.0, 1.0 / 60.0);
}

// A minimised, hidden or covered window: the swap comes back at once. From the first
// such frame on the loop holds 60 frames a second, and it sleeps rather than polls.
TEST(FramePacer, ASwapThatComesBackAtOnceIsSleptOutFromTheFirstFrame) {
  FakeTime time;
  FramePacer pacer = time.Pacer();
  pacer.TrustSwap(true);
  for (int frame = 0; frame < 10; ++frame) {
    time.now += 1.0 / 60.0;
    pacer.FrameDone();
  }
  const double start = time.now;
  const long reads_before = time.reads;
  for (int frame = 0; frame < 600; ++frame) {
    time.now += 0.001;
    pacer.FrameDone();
    EXPECT_GT(time.now - start, (frame + 1) / 60.0 - 1e-3) << frame;
  }
  EXPECT_NEAR(time.now - start, 10.0, 0.01);
  EXPECT_NEAR(time.slept, 600 * (1.0 / 60.0 - 0.001), 0.05);
  EXPECT_LE(time.reads - reads_before, 600 * 3);
}

TEST(FramePacer, SlowFramesKeepTheSwapTrusted) {
  FakeTime time;
  FramePacer pacer = time.Pacer();
  pacer.TrustSwap(true);
  for (int frame = 0; frame < 100; ++frame) {
    time.now += 1.0 / 30.0;  // the machine cannot keep up: no pacing mends that
    pacer.FrameDone();
  }
  EXPECT_TRUE(pacer.SwapTrusted());
}

}  // namespace
