#include "platform/input.h"

void InputState::KeyDown(int key, bool repeat) {
  if (!ValidKey(key)) return;
  if (!repeat && !KeyIsDown(key)) ++key_presses_[key];
  key_down_[key] = true;
}

void InputState::KeyUp(int key) {
  if (ValidKey(key)) key_down_[key] = false;
}

void InputState::ButtonDown(int button) {
  if (!ValidButton(button)) return;
  if (!MouseIsDown(button)) ++button_clicks_[button];
  button_down_[button] = true;
}

void InputState::ButtonUp(int button) {
  if (ValidButton(button)) button_down_[button] = false;
}

void InputState::PointerMoved(int x, int y) {
  pointer_x_ = x;
  pointer_y_ = y;
}

void InputState::ClearAll() {
  key_down_ = {};
  pad_key_down_ = {};
  key_presses_ = {};
  ResetMouseState();
}

void InputState::PadHoldKey(int key, bool held) {
  if (!ValidKey(key)) return;
  if (held && !KeyIsDown(key)) ++key_presses_[key];
  pad_key_down_[key] = held;
}

void InputState::PadHoldButton(int button, bool held) {
  if (!ValidButton(button)) return;
  if (held && !MouseIsDown(button)) ++button_clicks_[button];
  pad_button_down_[button] = held;
}

void InputState::PadPressKey(int key) {
  if (ValidKey(key)) ++key_presses_[key];
}

void InputState::PadClick(int button) {
  if (ValidButton(button)) ++button_clicks_[button];
}

int InputState::KeyIsDown(int key) const {
  return ValidKey(key) && (key_down_[key] || pad_key_down_[key]) ? 1 : 0;
}

int InputState::KeyPressCount(int key) {
  if (!ValidKey(key)) return 0;
  const int count = key_presses_[key];
  key_presses_[key] = 0;
  return count;
}

int InputState::MouseIsDown(int button) const {
  return ValidButton(button) && (button_down_[button] || pad_button_down_[button]) ? 1 : 0;
}

int InputState::MouseClickCount(int button) {
  if (!ValidButton(button)) return 0;
  const int count = button_clicks_[button];
  button_clicks_[button] = 0;
  return count;
}

void InputState::ResetMouseState() {
  button_down_ = {};
  pad_button_down_ = {};
  button_clicks_ = {};
  wheel_ = 0;
}

int InputState::CloseRequested() {
  const bool requested = close_requested_;
  close_requested_ = false;
  return requested ? 1 : 0;
}
