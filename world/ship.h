#pragma once
// The player's ship: it faces the pointer, bounces off the window's edges, is dragged
// and slowed by the balls it touches and loses shield and weapon charge to them.

#include <cstdint>

struct World;
struct shot;

struct ship {
  float x = 0.0f, y = 0.0f;
  float vx = 0.0f, vy = 0.0f;
  // Facing: the unit vector toward the pointer, refreshed by draw; (0, 0) while the
  // pointer is exactly on the ship.
  float sx = 0.0f, sy = 0.0f;
  // Never set: the ship keeps no shot of its own.
  const struct shot* shot = nullptr;
  int32_t score = 0;
  float shield = 0.0f;  // 1 is full
  // Its whole part is the weapon level, its fraction the way to the next level.
  float weapon = 0.0f;

  // One frame of coasting to rest, without ball contact (a cleared wave).
  void stop(World& world);
  // One frame of flight with ball contact, its flares and the drain sound's settings.
  void move(World& world);
  // Turns toward the pointer and draws the ship.
  void draw(World& world);
};
