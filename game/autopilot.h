#pragma once
// A scripted player for tests, benchmarks and screenshots. It plays through the
// platform's input state, as a person at the mouse and keyboard would: it clicks to start
// a game, aims at the nearest item (or the nearest ball when no item is out), keeps the
// fire button down and thrusts toward items. It only reads the game's state.

#include "game/game.h"
#include "platform/input.h"

class Autopilot {
 public:
  // Sets the input for the coming frame from what the game shows now.
  void Play(Game& game, InputState& input);
  // When true, it stops fighting and calls in swarms (Space) until the shield is gone.
  bool surrender = false;

 private:
  void Release(InputState& input);
  void CallInSwarm(Game& game, InputState& input);
  bool button_held_ = false;
  bool thrusting_ = false;
};
