// Game pads feeding the input state: the sticks' dead zones, aim, fire, the buttons, and
// pads, keyboard and mouse side by side.

#include "platform/gamepad.h"

#include <gtest/gtest.h>

namespace {

class Gamepad : public ::testing::Test {
 protected:
  Gamepad() { pads.Attach(1); }
  void Apply() { pads.Apply(input, 300, 400); }

  GamepadMapper pads;
  InputState input;
};

TEST_F(Gamepad, TheLeftStickHoldsTheThrustKeysPastItsDeadZoneOnEachAxis) {
  pads.Axis(1, PadAxis::LeftY, -7000);  // inside the dead zone
  pads.Axis(1, PadAxis::LeftX, 7000);
  Apply();
  for (int key : {key::kW, key::kS, key::kA, key::kD}) EXPECT_EQ(input.KeyIsDown(key), 0);
  pads.Axis(1, PadAxis::LeftY, -20000);  // a diagonal: up and right
  pads.Axis(1, PadAxis::LeftX, 20000);
  Apply();
  EXPECT_EQ(input.KeyIsDown(key::kW), 1);
  EXPECT_EQ(input.KeyIsDown(key::kD), 1);
  EXPECT_EQ(input.KeyIsDown(key::kS) + input.KeyIsDown(key::kA), 0);
  pads.Axis(1, PadAxis::LeftY, 32767);
  Apply();
  EXPECT_EQ(input.KeyIsDown(key::kW), 0);
  EXPECT_EQ(input.KeyIsDown(key::kS), 1);
}

TEST_F(Gamepad, TheRightStickAimsAroundTheShipAndOtherwiseLeavesThePointer) {
  input.PointerMoved(10, 20);
  pads.Axis(1, PadAxis::RightX, 5000);
  Apply();
  EXPECT_EQ(input.PointerX(), 10);
  EXPECT_EQ(input.PointerY(), 20);
  pads.Axis(1, PadAxis::RightX, 30000);
  pads.Axis(1, PadAxis::RightY, -30000);
  pads.Axis(1, PadAxis::LeftY, -30000);  // both sticks at once
  Apply();
  EXPECT_EQ(input.PointerX(), 300 + 85);  // 120 pixels up and to the right
  EXPECT_EQ(input.PointerY(), 400 - 85);
  EXPECT_EQ(input.KeyIsDown(key::kW), 1);
  input.PointerMoved(50, 60);  // the mouse takes over as soon as it moves
  EXPECT_EQ(input.PointerX(), 50);
  pads.Axis(1, PadAxis::RightX, 0);
  pads.Axis(1, PadAxis::RightY, 0);
  Apply();
  EXPECT_EQ(input.PointerX(), 50);
}

TEST_F(Gamepad, TheTriggerOrShoulderHoldsFireAcrossFramesLikeTheMouseButton) {
  pads.Axis(1, PadAxis::RightTrigger, 20000);
  Apply();
  EXPECT_EQ(input.MouseIsDown(1), 1);
  EXPECT_EQ(input.MouseClickCount(1), 1);
  Apply();
  EXPECT_EQ(input.MouseIsDown(1), 1);
  EXPECT_EQ(input.MouseClickCount(1), 0);  // held, not clicked again
  input.ButtonDown(1);                     // the mouse too, then the pad lets go
  pads.Axis(1, PadAxis::RightTrigger, 0);
  Apply();
  EXPECT_EQ(input.MouseIsDown(1), 1);
  input.ButtonUp(1);
  EXPECT_EQ(input.MouseIsDown(1), 0);
  pads.Button(1, PadButton::RightShoulder, true, input);
  Apply();
  EXPECT_EQ(input.MouseIsDown(1), 1);
  // A reset (the pause, the end of a game) lets go until the pad presses anew.
  input.ResetMouseState();
  Apply();
  EXPECT_EQ(input.MouseIsDown(1), 0);
  EXPECT_EQ(input.MouseClickCount(1), 0);
}

TEST_F(Gamepad, ButtonsClickAndPressOnTheWayDownAndBackDoesNothing) {
  pads.Button(1, PadButton::A, true, input);
  pads.Button(1, PadButton::A, false, input);  // between two frames
  pads.Button(1, PadButton::Start, true, input);
  pads.Button(1, PadButton::X, true, input);
  pads.Button(1, PadButton::Y, true, input);
  pads.Button(1, PadButton::Back, true, input);
  Apply();
  EXPECT_EQ(input.MouseClickCount(1), 1);
  EXPECT_EQ(input.MouseIsDown(1), 0);
  EXPECT_EQ(input.KeyPressCount(key::kP), 1);
  EXPECT_EQ(input.KeyPressCount(key::kSpace), 1);
  EXPECT_EQ(input.KeyPressCount(key::kZ), 1);
  EXPECT_EQ(input.KeyIsDown(key::kEscape), 0);
}

TEST_F(Gamepad, TwoPadsBothWorkAndUnpluggingOneLetsGoOfItsHolds) {
  pads.Attach(7);
  pads.Axis(1, PadAxis::LeftX, -30000);
  pads.Axis(7, PadAxis::RightTrigger, 30000);
  Apply();
  EXPECT_EQ(input.KeyIsDown(key::kA), 1);
  EXPECT_EQ(input.MouseIsDown(1), 1);
  pads.Detach(7, input);
  EXPECT_EQ(input.MouseIsDown(1), 0);
  EXPECT_EQ(input.KeyIsDown(key::kA), 1);
  pads.Button(7, PadButton::A, true, input);  // gone: ignored
  EXPECT_EQ(input.MouseClickCount(1), 1);     // only the trigger's click from before
}

TEST_F(Gamepad, TheKeyboardAndThePadHoldTheSameKeyIndependently) {
  input.KeyDown(key::kW);
  pads.Axis(1, PadAxis::LeftY, -30000);
  Apply();
  EXPECT_EQ(input.KeyPressCount(key::kW), 1);  // one press: it was already down
  input.KeyUp(key::kW);
  EXPECT_EQ(input.KeyIsDown(key::kW), 1);
  pads.Axis(1, PadAxis::LeftY, 0);
  Apply();
  EXPECT_EQ(input.KeyIsDown(key::kW), 0);
}

}  // namespace
