#include "platform/gamepad.h"

#include <cmath>

namespace {

int Value(const int* axes, PadAxis axis) {
  return axes[static_cast<int>(axis)];
}

bool Past(int value, int dead_zone) {
  return value > dead_zone;
}

}  // namespace

void GamepadMapper::Attach(int pad) {
  pads_.try_emplace(pad);
}

void GamepadMapper::Detach(int pad, InputState& input) {
  pads_.erase(pad);
  Hold(input, CurrentHolds());
}

// Nothing is held again until a stick or a trigger moves.
void GamepadMapper::Forget() {
  for (auto& [id, pad] : pads_) pad = Pad{};
  held_ = {};
}

void GamepadMapper::Axis(int pad, PadAxis axis, int value) {
  auto found = pads_.find(pad);
  if (found != pads_.end()) found->second.axes[static_cast<int>(axis)] = value;
}

// Presses and clicks happen on the way down, so a button pressed and let go between two
// frames still counts once.
void GamepadMapper::Button(int pad, PadButton button, bool down, InputState& input) {
  auto found = pads_.find(pad);
  if (found == pads_.end()) return;
  if (button == PadButton::RightShoulder) found->second.right_shoulder = down;
  if (!down) return;
  switch (button) {
    case PadButton::A:
      return input.PadClick(1);
    case PadButton::Start:
      return input.PadPressKey(key::kP);
    case PadButton::X:
      return input.PadPressKey(key::kSpace);
    case PadButton::Y:
      return input.PadPressKey(key::kZ);
    default:
      return;
  }
}

// Only changes are passed on: a hold the game has reset (a pause, the end of a game) is
// not taken up again until the pad lets go and presses anew, as with the mouse.
void GamepadMapper::Hold(InputState& input, const Holds& holds) {
  if (holds.up != held_.up) input.PadHoldKey(key::kW, holds.up);
  if (holds.down != held_.down) input.PadHoldKey(key::kS, holds.down);
  if (holds.left != held_.left) input.PadHoldKey(key::kA, holds.left);
  if (holds.right != held_.right) input.PadHoldKey(key::kD, holds.right);
  if (holds.fire != held_.fire) input.PadHoldButton(1, holds.fire);
  held_ = holds;
}

void GamepadMapper::Apply(InputState& input, float aim_x, float aim_y) {
  Hold(input, CurrentHolds());
  Aim(input, aim_x, aim_y);
}

// Every pad adds its holds.
GamepadMapper::Holds GamepadMapper::CurrentHolds() const {
  Holds holds;
  for (const auto& [id, pad] : pads_) {
    const int* axes = pad.axes;
    holds.up |= Past(-Value(axes, PadAxis::LeftY), kStickDeadZone);
    holds.down |= Past(Value(axes, PadAxis::LeftY), kStickDeadZone);
    holds.left |= Past(-Value(axes, PadAxis::LeftX), kStickDeadZone);
    holds.right |= Past(Value(axes, PadAxis::LeftX), kStickDeadZone);
    holds.fire |= pad.right_shoulder || Past(Value(axes, PadAxis::RightTrigger), kTriggerThreshold);
  }
  return holds;
}

// The first pad whose right stick is out of its dead zone aims.
void GamepadMapper::Aim(InputState& input, float aim_x, float aim_y) const {
  for (const auto& [id, pad] : pads_) {
    const float x = static_cast<float>(Value(pad.axes, PadAxis::RightX));
    const float y = static_cast<float>(Value(pad.axes, PadAxis::RightY));
    const float length = std::hypot(x, y);
    if (length <= kStickDeadZone) continue;
    input.PointerMoved(static_cast<int>(std::lround(aim_x + kAimDistance * x / length)),
                       static_cast<int>(std::lround(aim_y + kAimDistance * y / length)));
    return;
  }
}
