#include "platform/input.h"

#include <gtest/gtest.h>

namespace {

TEST(Input, APressIsCountedOnceAndTakenByTheFirstQuery) {
  InputState input;
  input.KeyDown(key::kP);
  EXPECT_EQ(input.KeyIsDown(key::kP), 1);
  EXPECT_EQ(input.KeyPressCount(key::kP), 1);
  EXPECT_EQ(input.KeyPressCount(key::kP), 0);
  EXPECT_EQ(input.KeyIsDown(key::kP), 1);
}

TEST(Input, HoldingAKeyCountsOnePressHoweverLongItIsHeld) {
  InputState input;
  input.KeyDown(key::kSpace);
  for (int repeat = 0; repeat < 20; ++repeat) input.KeyDown(key::kSpace, true);
  input.KeyDown(key::kSpace);  // a second down without an up is no new press either
  EXPECT_EQ(input.KeyPressCount(key::kSpace), 1);
  input.KeyUp(key::kSpace);
  EXPECT_EQ(input.KeyIsDown(key::kSpace), 0);
  input.KeyDown(key::kSpace);
  input.KeyUp(key::kSpace);
  input.KeyDown(key::kSpace);
  EXPECT_EQ(input.KeyPressCount(key::kSpace), 2);
}

TEST(Input, ClicksCountPerButton) {
  InputState input;
  input.ButtonDown(1);
  input.ButtonUp(1);
  input.ButtonDown(1);
  input.ButtonDown(2);
  EXPECT_EQ(input.MouseIsDown(1), 1);
  EXPECT_EQ(input.MouseClickCount(1), 2);
  EXPECT_EQ(input.MouseClickCount(1), 0);
  EXPECT_EQ(input.MouseClickCount(2), 1);
  EXPECT_EQ(input.MouseClickCount(3), 0);
}

TEST(Input, ResetMouseStateForgetsButtonsButNotKeys) {
  InputState input;
  input.ButtonDown(1);
  input.KeyDown(key::kW);
  input.Wheel(3);
  input.ResetMouseState();
  EXPECT_EQ(input.MouseIsDown(1), 0);
  EXPECT_EQ(input.MouseClickCount(1), 0);
  EXPECT_EQ(input.WheelPosition(), 0);
  EXPECT_EQ(input.KeyIsDown(key::kW), 1);
}

TEST(Input, LosingOrRegainingFocusClearsEverything) {
  InputState input;
  input.KeyDown(key::kW);
  input.KeyDown(key::kZ);
  input.ButtonDown(1);
  input.ClearAll();
  EXPECT_EQ(input.KeyIsDown(key::kW), 0);
  EXPECT_EQ(input.KeyPressCount(key::kZ), 0);
  EXPECT_EQ(input.MouseIsDown(1), 0);
  EXPECT_EQ(input.MouseClickCount(1), 0);
  // A key still physically held after focus returns counts as pressed when it next goes down.
  input.KeyDown(key::kW);
  EXPECT_EQ(input.KeyPressCount(key::kW), 1);
}

TEST(Input, CloseRequestIsTakenOnce) {
  InputState input;
  EXPECT_EQ(input.CloseRequested(), 0);
  input.RequestClose();
  EXPECT_EQ(input.CloseRequested(), 1);
  EXPECT_EQ(input.CloseRequested(), 0);
}

TEST(Input, CodesOutsideTheTablesAreIgnored) {
  InputState input;
  input.KeyDown(-1);
  input.KeyDown(256);
  input.ButtonDown(0);
  input.ButtonDown(4);
  EXPECT_EQ(input.KeyIsDown(256), 0);
  EXPECT_EQ(input.KeyPressCount(-1), 0);
  EXPECT_EQ(input.MouseClickCount(4), 0);
}

}  // namespace
