#pragma once
// The exhaust trail: soft glowing particles that fade, keep a speed of about 1, spring
// off the window's edges and slide along its floor. Each is pulled toward the particle
// made before it, so the trail hangs together like a strand, and all drift with the
// current of the offset grid, which they stir in turn.

#include <memory>

#include "platform/list.h"
#include "world/vec.h"

struct World;

struct exhaust {
  float x = 0.0f, y = 0.0f;
  vec v;
  float size = 0.0f;  // half-side of the particle's square
  float life = 0.0f;  // 1 at birth; the particle dies below 0.01
  float doom = 0.0f;  // per-frame life factor
  TList<std::unique_ptr<exhaust>>::TLink link;

  static exhaust& Create(World& world, float x, float y, float vx, float vy, float size);
  // One frame of the whole trail: move, pull, draw and stir; then the grid relaxes and
  // every surviving particle takes its push for the next frame.
  static void update(World& world);
  // Sets the life factor of every particle (0.7 fades a trail within about 13 frames).
  static void setdoom(World& world, float f);
  void move(World& world);
  void grid_enter(World& world);
  void grid_read(World& world);
  void draw(World& world);
};

// Every cell of the grid relaxes toward length 0.25 in its own direction.
void grid_relax(World& world);
