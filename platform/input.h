#pragma once
// Keyboard and mouse state as the game queries it: held flags and press counters for
// 256 virtual-key codes and three mouse buttons, the pointer position and the close
// request. Window events feed it, and game pads feed the same state; it knows nothing of
// where either comes from.

#include <array>
#include <cstdint>

// Virtual-key codes the game uses.
namespace key {
constexpr int kEscape = 27, kSpace = 32, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr int kA = 65, kD = 68, kP = 80, kS = 83, kW = 87, kZ = 90;
}  // namespace key

class InputState {
 public:
  static constexpr int kKeys = 256;
  static constexpr int kButtons = 3;  // 1 = left, 2 = right, 3 = middle

  // Events. A repeated key-down (auto-repeat) does not count as a press.
  void KeyDown(int key, bool repeat = false);
  void KeyUp(int key);
  void ButtonDown(int button);
  void ButtonUp(int button);
  void PointerMoved(int x, int y);
  void Wheel(int steps) { wheel_ += steps; }
  void RequestClose() { close_requested_ = true; }
  // Focus lost or regained: nothing held, nothing counted.
  void ClearAll();

  // A game pad's share. Its holds combine with the keyboard's and the mouse's, so either
  // may let go without releasing what the other still holds; a hold that begins counts
  // as a press or click like any other.
  void PadHoldKey(int key, bool held);
  void PadHoldButton(int button, bool held);
  void PadPressKey(int key);  // one press, nothing held
  void PadClick(int button);  // one click, nothing held

  // Queries.
  int KeyIsDown(int key) const;
  int KeyPressCount(int key);
  int MouseIsDown(int button) const;
  int MouseClickCount(int button);
  int PointerX() const { return pointer_x_; }
  int PointerY() const { return pointer_y_; }
  int WheelPosition() const { return wheel_; }
  void ResetMouseState();
  int CloseRequested();

 private:
  static bool ValidKey(int key) { return key >= 0 && key < kKeys; }
  static bool ValidButton(int button) { return button >= 1 && button <= kButtons; }

  std::array<bool, kKeys> key_down_{};
  std::array<bool, kKeys> pad_key_down_{};
  std::array<int, kKeys> key_presses_{};
  std::array<bool, kButtons + 1> button_down_{};
  std::array<bool, kButtons + 1> pad_button_down_{};
  std::array<int, kButtons + 1> button_clicks_{};
  int pointer_x_ = 0, pointer_y_ = 0;
  int wheel_ = 0;
  bool close_requested_ = false;
};
