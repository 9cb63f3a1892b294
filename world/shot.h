#pragma once
// Shots: fast straight projectiles tested against every ball each frame. A shot that
// hits knocks and stuns the ball, scores a point and is gone; one that leaves the field
// is gone too. Both still finish the move in which they go.

#include <memory>

#include "platform/list.h"

struct World;

struct shot {
  float x = 0.0f, y = 0.0f;
  float vx = 0.0f, vy = 0.0f;
  // Unit vector of the velocity as of the end of the last move; (0, 0) before it.
  float nx = 0.0f, ny = 0.0f;
  float size = 0.0f;  // kept from creation; nothing reads it
  float speed = 0.0f;
  // speed squared: how far the hit test's first stage reaches beyond a ball's size.
  float coldist = 0.0f;
  TList<std::unique_ptr<shot>>::TLink link;

  // A shot at (x, y) moving at `speed` along (dx, dy) normalised; a zero direction gives
  // a shot that rests where it is made.
  static shot& Create(World& world, float x, float y, float dx, float dy, float size, float speed);
  // Moves every shot, in creation order.
  static void update(World& world);
  void move(World& world);
};
