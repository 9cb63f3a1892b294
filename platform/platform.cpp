#include "platform/platform.h"

int Platform::KeyIsDown(int key) {
  PumpEvents();
  return input_.KeyIsDown(key);
}

int Platform::KeyPressCount(int key) {
  PumpEvents();
  return input_.KeyPressCount(key);
}

int Platform::MouseIsDown(int button) {
  PumpEvents();
  return input_.MouseIsDown(button);
}

int Platform::MouseClickCount(int button) {
  PumpEvents();
  return input_.MouseClickCount(button);
}

int Platform::PointerX() {
  PumpEvents();
  return input_.PointerX();
}

int Platform::PointerY() {
  PumpEvents();
  return input_.PointerY();
}

void Platform::ResetMouseState() {
  PumpEvents();
  input_.ResetMouseState();
}

int Platform::CloseRequested() {
  PumpEvents();
  return input_.CloseRequested();
}
