// The rules of play: steering, thrust and firing, the item spawner, the wave cycle, new
// games and game over, and the two extra keys.

#include <algorithm>
#include <cmath>

#include "game/game.h"

namespace {

// One row of the weapon table: the frames between volleys and how loud the laser is.
struct WeaponLevel {
  int32_t fire_interval;
  float laser_volume;
};

constexpr WeaponLevel kWeaponLevels[] = {{10, 0.5f}, {5, 0.35f}, {2, 0.25f}};

int32_t trunc_to_int(float value) {
  return static_cast<int32_t>(value);
}

}  // namespace

// A weak shield accelerates less. The facing used is the one the ship was last drawn with.
void Game::PlayerTurn() {
  Steer();
  exhaust::update(*world);
  world->player_ship.move(*world);
  EmitThrustParticles();
  DrawShip();
  if (platform.MouseIsDown(1)) Fire();
  item::update(*world);
}

// The four directions are independent, so opposite keys cancel; (-sy, sx) is the facing
// turned a quarter to the right, y pointing down the screen.
void Game::Steer() {
  ship& s = world->player_ship;
  const float thrust = 0.4f * (s.shield + 0.1f);
  if (platform.KeyIsDown(key::kUp) || platform.KeyIsDown(key::kW)) {
    s.vy = s.vy + thrust * s.sy;
    s.vx = s.vx + thrust * s.sx;
    if (state.thrust_level < 80) state.thrust_level += 2;
  }
  if (platform.KeyIsDown(key::kDown) || platform.KeyIsDown(key::kS)) {
    s.vy = s.vy - thrust * s.sy;
    s.vx = s.vx - thrust * s.sx;
  }
  if (platform.KeyIsDown(key::kRight) || platform.KeyIsDown(key::kD)) {
    s.vx = s.vx - 0.5f * thrust * s.sy;
    s.vy = s.vy + 0.5f * thrust * s.sx;
  }
  if (platform.KeyIsDown(key::kLeft) || platform.KeyIsDown(key::kA)) {
    s.vx = s.vx + 0.5f * thrust * s.sy;
    s.vy = s.vy - 0.5f * thrust * s.sx;
  }
}

// Particles start on a line 22 pixels long across the facing and move roughly with the
// ship; the amount climbs while the forward key is held and ebbs when it is let go.
void Game::EmitThrustParticles() {
  if (state.thrust_level <= 0) return;
  const ship& s = world->player_ship;
  const int32_t n = trunc_to_int(state.thrust_level * 0.25f);
  for (int32_t i = 0; i < n; ++i) {
    const float a = static_cast<float>(random.RandomRange(-11, 11));
    const float b = static_cast<float>(random.RandomRange(0.7, 1.2));
    const float c = static_cast<float>(random.RandomRange(1, 10));
    exhaust::Create(*world, s.x - a * s.sy, s.y + a * s.sx, s.vx * b, s.vy * b, c);
  }
  state.thrust_level -= 1;
}

// A game pad aims around the ship where it is now.
void Game::DrawShip() {
  platform.SetAimOrigin(world->player_ship.x, world->player_ship.y);
  world->pointer_x = platform.PointerX();
  world->pointer_y = platform.PointerY();
  world->player_ship.draw(*world);
}

// Holding the button fires every fire_interval + 1 frames; letting go freezes the count.
void Game::Fire() {
  if (state.fire_cooldown == 0) FireVolley();
  if (state.fire_cooldown < state.fire_interval) {
    state.fire_cooldown += 1;
  } else {
    state.fire_cooldown = 0;
  }
}

// The weapon level shapes the volley: one shot, a pair, or a fan of three. Every volley
// wears the weapon down a little; overlapping laser sounds play out.
void Game::FireVolley() {
  ship& s = world->player_ship;
  // The weapon stays below 3; the clamp only guards the table.
  const int32_t level = std::clamp(trunc_to_int(s.weapon), 0, 2);
  const WeaponLevel& weapon = kWeaponLevels[level];
  state.fire_interval = weapon.fire_interval;
  const float x = s.x + 20 * s.sx, y = s.y + 20 * s.sy;
  auto fire = [&](float dx, float dy) { shot::Create(*world, x, y, dx, dy, 10, 35); };
  if (level == 0) {
    fire(s.sx, s.sy);
  } else if (level == 1) {
    fire(s.sx + 0.04f * s.sy, s.sy - 0.04f * s.sx);
    fire(s.sx - 0.04f * s.sy, s.sy + 0.04f * s.sx);
  } else {
    fire(s.sx + 0.1f * s.sy, s.sy - 0.1f * s.sx);
    fire(s.sx, s.sy);
    fire(s.sx - 0.1f * s.sy, s.sy + 0.1f * s.sx);
  }
  audio.laser_channel = audio.laser_sound->Cue(nullptr);
  audio.laser_channel->SetPan(pan_at(s.x));
  audio.laser_channel->SetVolume(weapon.laser_volume);
  s.weapon = s.weapon * 0.999f;
}

// One item every 32 frames while some are due. The timer keeps counting between waves,
// so a later wave's first item may come at once.
void Game::SpawnItems() {
  if (state.items_to_spawn > 0 && state.spawn_timer > 30) {
    SpawnItemAtRandom();
    state.items_to_spawn -= 1;
    state.spawn_timer = 0;
  } else {
    state.spawn_timer += 1;
  }
}

void Game::SpawnItemAtRandom() {
  const int32_t py = random.RandomIntRange(0, screen_height);
  const int32_t px = random.RandomIntRange(0, screen_width);
  item::Create(*world, static_cast<float>(px), static_cast<float>(py), 0);
}

// Cleared, starting, end of wave, game over: in this order, in every state, paused too.
// A wave that has just started cannot end in the same frame.
void Game::WaveCycle() {
  if (state.wave_phase == WavePhase::cleared) CoastToRest();
  if (state.wave_phase == WavePhase::starting) StartWave();
  if (world->item_list.Count() == 0 && state.playing && state.items_to_spawn == 0) {
    state.wave_phase = WavePhase::cleared;
  }
  if (!(world->player_ship.shield > 0)) {
    if (!state.game_over) {
      state.fade_colour = {1, 1, 1};  // the white flash
      state.final_score = world->player_ship.score;
      state.final_wave = state.wave;
    }
    state.game_over = true;
  }
}

// The next wave starts when the sum of the velocity's components is near zero, which is
// not quite the same as the ship being at rest.
void Game::CoastToRest() {
  audio.drain_channel->SetVolume(world->drain_level);
  ship& s = world->player_ship;
  s.stop(*world);
  exhaust::setdoom(*world, 0.7f);
  exhaust::update(*world);
  DrawShip();
  if (std::fabs(s.vx + s.vy) < 0.01f) state.wave_phase = WavePhase::starting;
}

void Game::StartWave() {
  state.wave_phase = WavePhase::fighting;
  state.wave += 1;
  state.items_to_spawn = state.wave;
  audio.drain_channel->Stop();
  make_background(*background_pixmap, *blur_scratch_pixmap, random, platform.ClockMillis());
  // The new picture goes into the layer the backdrop is fading toward; the picture
  // it replaces is no longer shown, so its texture is released.
  if (state.wave % 2 == 0) {
    replace_texture(*gl_, textures.background_texture_b, *background_pixmap);
    state.bg_mix_target = 0.0f;
  } else {
    replace_texture(*gl_, textures.background_texture_a, *background_pixmap);
    state.bg_mix_target = 1.0f;
  }
  audio.drain_channel = audio.drain_sound->Cue(nullptr);
  audio.drain_channel->SetVolume(0.0f);
  world->wave_clock = 0.0f;
}

// The wave cycle of the same frame starts wave 1. The ship keeps its velocity and facing;
// shots, particles, the spawn and fire timers, the thrust and the drain carry over.
void Game::NewGame() {
  world->item_list.Clear();
  world->ball_list.Clear();
  ship& s = world->player_ship;
  s.weapon = 0.0f;
  s.shield = 1.0f;
  s.score = 0;
  s.x = screen_width * 0.5f;
  s.y = screen_height * 0.5f;
  state.wave = 0;
  state.playing = true;
  state.game_over = false;
  state.wave_phase = WavePhase::starting;
}

void Game::ExtraKeys() {
  if (platform.KeyPressCount(key::kSpace)) spawn_ball_swarm(*world, 1500);
  if (platform.KeyPressCount(key::kZ)) SpawnItemAtRandom();
}

// The drain sound drops in pitch and dies away; with the frame's halving it falls to
// 0.45 of itself every frame.
void Game::WindDownDrain() {
  float& level = world->drain_level;
  if (state.playing) level = 1.0f;
  level = level * 0.9f;
  audio.drain_channel->SetRate(0.3f * level);
  audio.drain_channel->SetVolume(level);
  audio.drain_channel->SetPaused(0);
}

// A click still held from the game cannot restart at once. Items and balls are cleared on
// every game-over frame; shots and particles are left to run out.
void Game::ClearAfterGameOver() {
  if (state.playing) platform.ResetMouseState();
  state.playing = false;
  world->item_list.Clear();
  world->ball_list.Clear();
}
