// The frame's place in a window of any size and the way back from window to frame pixels.

#include "platform/letterbox.h"

#include <gtest/gtest.h>

namespace {

constexpr int kFrame = 700;

TEST(FitFrame, KeepsTheFrameUnscaledInAWindowOfItsOwnSize) {
  const Letterbox box = FitFrame(kFrame, kFrame, 700, 700);
  EXPECT_EQ(box.x, 0);
  EXPECT_EQ(box.y, 0);
  EXPECT_EQ(box.width, 700);
  EXPECT_EQ(box.height, 700);
  EXPECT_FALSE(box.BarsLeftAndRight());
  EXPECT_FALSE(box.BarsAboveAndBelow());
}

TEST(FitFrame, CentresTheLargestSquareWithBarsOnTheLongerSide) {
  const Letterbox wide = FitFrame(kFrame, kFrame, 1920, 1080);
  EXPECT_EQ(wide.width, 1080);
  EXPECT_EQ(wide.height, 1080);
  EXPECT_EQ(wide.x, 420);  // (1920 - 1080) / 2 on each side
  EXPECT_EQ(wide.y, 0);
  EXPECT_TRUE(wide.BarsLeftAndRight());
  EXPECT_FALSE(wide.BarsAboveAndBelow());

  const Letterbox tall = FitFrame(kFrame, kFrame, 500, 900);
  EXPECT_EQ(tall.width, 500);
  EXPECT_EQ(tall.height, 500);
  EXPECT_EQ(tall.x, 0);
  EXPECT_EQ(tall.y, 200);
  EXPECT_TRUE(tall.BarsAboveAndBelow());
}

TEST(FitFrame, KeepsTheAspectOfAFrameThatIsNotSquare) {
  // 4:3 into 16:9: the height fills, the width is 1080 * 4 / 3.
  const Letterbox box = FitFrame(800, 600, 1920, 1080);
  EXPECT_EQ(box.width, 1440);
  EXPECT_EQ(box.height, 1080);
  EXPECT_EQ(box.x, 240);
  // An odd spare pixel goes to the bar after the frame: 701 wide leaves one column.
  const Letterbox odd = FitFrame(kFrame, kFrame, 701, 700);
  EXPECT_EQ(odd.x, 0);
  EXPECT_EQ(odd.width, 700);
  EXPECT_TRUE(odd.BarsLeftAndRight());
}

TEST(FitFrame, SurvivesAWindowWithNoArea) {
  const Letterbox box = FitFrame(kFrame, kFrame, 0, 0);
  EXPECT_GE(box.width, 1);
  EXPECT_GE(box.height, 1);
  const FramePoint point = WindowToFrame(box, 0, 0);
  EXPECT_GE(point.x, 0);
  EXPECT_LT(point.x, kFrame);
}

TEST(WindowToFrame, IsTheIdentityAtTheFramesOwnSizeEvenBeyondTheWindow) {
  const Letterbox box = FitFrame(kFrame, kFrame, 700, 700);
  for (int v : {0, 1, 349, 350, 698, 699}) {
    const FramePoint point = WindowToFrame(box, v, 699 - v);
    EXPECT_EQ(point.x, v);
    EXPECT_EQ(point.y, 699 - v);
  }
  // While a button is held the window reports positions outside itself; with no bars
  // they reach the game as they are.
  const FramePoint outside = WindowToFrame(box, -40, 760);
  EXPECT_EQ(outside.x, -40);
  EXPECT_EQ(outside.y, 760);
}

TEST(WindowToFrame, FindsTheSameSpotAtEverySize) {
  struct Case {
    int window_width, window_height;
  };
  for (const Case c :
       {Case{1400, 1400}, Case{350, 350}, Case{1920, 1080}, Case{1000, 1600}, Case{1366, 768}}) {
    const Letterbox box = FitFrame(kFrame, kFrame, c.window_width, c.window_height);
    const double scale = double(box.width) / kFrame;
    // The window pixel that shows frame pixel (175, 525) maps back to it.
    const int window_x = box.x + int((175 + 0.5) * scale);
    const int window_y = box.y + int((525 + 0.5) * scale);
    const FramePoint point = WindowToFrame(box, window_x, window_y);
    EXPECT_EQ(point.x, 175) << c.window_width << "x" << c.window_height;
    EXPECT_EQ(point.y, 525) << c.window_width << "x" << c.window_height;
    // The scaled frame's corner pixels lie over the frame's corners: within one window
    // pixel of them when the frame is shrunk, exactly on them when it is enlarged.
    const int reach = kFrame / box.width;
    const FramePoint first = WindowToFrame(box, box.x, box.y);
    const FramePoint last = WindowToFrame(box, box.x + box.width - 1, box.y + box.height - 1);
    EXPECT_LE(first.x, reach);
    EXPECT_LE(first.y, reach);
    EXPECT_GE(last.x, kFrame - 1 - reach);
    EXPECT_GE(last.y, kFrame - 1 - reach);
    EXPECT_GE(first.x, 0);
    EXPECT_LE(last.x, kFrame - 1);
  }
}

TEST(WindowToFrame, ClampsAPointerOverABarToTheFramesEdge) {
  const Letterbox wide = FitFrame(kFrame, kFrame, 1920, 1080);
  // Over the left bar, halfway down: the left edge, halfway down.
  FramePoint point = WindowToFrame(wide, 100, 540);
  EXPECT_EQ(point.x, 0);
  EXPECT_EQ(point.y, 350);
  point = WindowToFrame(wide, 1919, 0);
  EXPECT_EQ(point.x, kFrame - 1);
  EXPECT_EQ(point.y, 0);
  // Beyond the window on the barred axis still the edge; on the other axis linear.
  point = WindowToFrame(wide, -500, -54);
  EXPECT_EQ(point.x, 0);
  EXPECT_EQ(point.y, -35);

  const Letterbox tall = FitFrame(kFrame, kFrame, 500, 900);
  point = WindowToFrame(tall, 250, 10);
  EXPECT_EQ(point.x, 350);
  EXPECT_EQ(point.y, 0);
  point = WindowToFrame(tall, 250, 890);
  EXPECT_EQ(point.y, kFrame - 1);
}

}  // namespace
