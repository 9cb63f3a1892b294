#pragma once
// Twin-stick play with game pads, fed into the same input state as the keyboard and the
// mouse, so the game's rules never know a pad is there. Any number of pads may be
// connected at once; each event names its pad.
//
// Left stick: past its dead zone each axis holds W or S, A or D, exactly as the keys.
// Right stick: past its dead zone it puts the pointer at a fixed distance from the aim
// origin (the ship) in the stick's direction; inside it the pointer stays put.
// Right trigger or right shoulder: fire (mouse button 1 held). A: a click of button 1.
// Start: P. X: Space. Y: Z. Back does nothing: Escape stays the only way to quit.

#include <map>

#include "platform/input.h"

enum class PadAxis { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger };
enum class PadButton { A, B, X, Y, Back, Start, LeftShoulder, RightShoulder, Other };

class GamepadMapper {
 public:
  static constexpr int kStickDeadZone = 8000;  // of 32767
  static constexpr int kTriggerThreshold = 8000;
  static constexpr float kAimDistance = 120;

  void Attach(int pad);
  // A pad that is unplugged lets go of everything it held.
  void Detach(int pad, InputState& input);
  // Forgets every pad's sticks and buttons, keeping the pads: the window lost focus and
  // the input state has let go of everything.
  void Forget();
  void Axis(int pad, PadAxis axis, int value);
  void Button(int pad, PadButton button, bool down, InputState& input);
  // The holds and the aim that the pads' present state gives, after the events of a pump.
  void Apply(InputState& input, float aim_x, float aim_y);

 private:
  struct Pad {
    int axes[6] = {};
    bool right_shoulder = false;
  };
  // What the pads hold of the keyboard and the mouse.
  struct Holds {
    bool up = false, down = false, left = false, right = false, fire = false;
    bool operator==(const Holds&) const = default;
  };
  Holds CurrentHolds() const;
  void Hold(InputState& input, const Holds& holds);
  void Aim(InputState& input, float aim_x, float aim_y) const;
  std::map<int, Pad> pads_;
  Holds held_;
};
