#include "game/autopilot.h"

#include <limits>

namespace {

struct Target {
  float x = 0, y = 0;
  float distance2 = std::numeric_limits<float>::max();
  bool found = false;
  void Consider(float from_x, float from_y, float to_x, float to_y) {
    const float dx = to_x - from_x, dy = to_y - from_y;
    const float d2 = dx * dx + dy * dy;
    if (d2 >= distance2) return;
    *this = {to_x, to_y, d2, true};
  }
};

Target NearestItem(World& world, float x, float y) {
  Target target;
  for (auto link : world.item_list) {
    const item& i = *link.Value();
    if (i.appear < 0) target.Consider(x, y, i.p.x, i.p.y);
  }
  return target;
}

Target NearestBall(World& world, float x, float y) {
  Target target;
  for (auto link : world.ball_list) {
    const ball& b = *link.Value();
    target.Consider(x, y, b.x, b.y);
  }
  return target;
}

}  // namespace

void Autopilot::CallInSwarm(Game& game, InputState& input) {
  Release(input);
  if (game.world->ball_list.Count() >= 500) return;
  input.KeyDown(key::kSpace);
  input.KeyUp(key::kSpace);
}

void Autopilot::Release(InputState& input) {
  if (button_held_) input.ButtonUp(1);
  if (thrusting_) input.KeyUp(key::kW);
  button_held_ = thrusting_ = false;
}

void Autopilot::Play(Game& game, InputState& input) {
  if (game.state.paused) return;
  if (!game.state.playing) {
    Release(input);
    input.ButtonDown(1);
    input.ButtonUp(1);
    return;
  }
  const ship& s = game.world->player_ship;
  Target target = NearestItem(*game.world, s.x, s.y);
  const bool hunting_item = target.found;
  if (!hunting_item) target = NearestBall(*game.world, s.x, s.y);
  if (surrender) return CallInSwarm(game, input);
  if (!target.found) return Release(input);
  input.PointerMoved(static_cast<int>(target.x), static_cast<int>(target.y));
  if (!button_held_) input.ButtonDown(1);
  button_held_ = true;
  if (hunting_item && !thrusting_) input.KeyDown(key::kW);
  if (!hunting_item && thrusting_) input.KeyUp(key::kW);
  thrusting_ = hunting_item;
}
