#include "world/exhaust.h"

#include <cmath>

#include "render/draw.h"
#include "world/world.h"

exhaust& exhaust::Create(World& world, float x, float y, float vx, float vy, float size) {
  auto made = std::make_unique<exhaust>();
  exhaust& e = *made;
  e.x = x;
  e.y = y;
  e.size = size;
  e.v.set(vx, vy);
  e.life = 1;
  e.doom = 0.98f;
  e.link = world.exhaust_list.AddLast(std::move(made));
  return e;
}

void exhaust::setdoom(World& world, float f) {
  for (auto link : world.exhaust_list) link.Value()->doom = f;
}

// A particle that dies in its move is still pulled, drawn and stirs the grid this frame;
// only the survivors read the relaxed grid.
void exhaust::update(World& world) {
  world.gl.BindTexture(world.sprites.glow);
  world.gl.BlendFunc(BlendFactor::SrcAlpha, BlendFactor::OneMinusSrcAlpha);
  vec prev;
  for (auto link : world.exhaust_list) {
    exhaust& e = *link.Value();
    e.move(world);
    e.v.x = e.v.x + (prev.x - e.x) * 0.002f;
    e.v.y = e.v.y + (prev.y - e.y) * 0.002f;
    prev.set(e.x, e.y);
    world.gl.Color(0.1f, 0.3f, 0.29f, 0.25f * e.life * e.life);
    e.draw(world);
    e.grid_enter(world);
  }
  grid_relax(world);
  for (auto link : world.exhaust_list) link.Value()->grid_read(world);
}

// The walls are springs: the velocity changes by the depth of penetration, so a fast
// particle may stay outside for a frame or two.
void exhaust::move(World&) {
  life = life * doom;
  if (life < 0.01f) {
    link.Remove();
    return;
  }
  x = x + v.x;
  y = y + v.y;
  v.normalizep(0.4f);
  constexpr float w = World::screen_width, h = World::screen_height;
  if (x > w) {
    v.x = v.x + (w - x);
    x = x + v.x;
  }
  if (x < 0) {
    v.x = v.x - x;
    x = x + v.x;
  }
  if (y > h) {
    v.y = v.y + (h - y);
    y = y + v.y;
    v.x = v.x * 0.6f;  // floor friction
  }
  if (y < 0) {
    v.y = v.y - y;
    y = y + v.y;
  }
}

void exhaust::grid_enter(World& world) {
  vec& c = world.grid.cell(x, y);
  c.x = c.x + v.x * 0.001f;
  c.y = c.y + v.y * 0.001f;
}

void exhaust::grid_read(World& world) {
  const vec& c = world.grid.cell(x, y);
  v.x = v.x + c.x * 0.5f;
  v.y = v.y + c.y * 0.5f;
}

void exhaust::draw(World& world) {
  draw_quad(world.gl, x, y, size);
}

// Each frame a cell's length L becomes 0.11 L + 0.2225, converging on 0.25.
void grid_relax(World& world) {
  ExhaustGrid& grid = world.grid;
  for (int32_t column = 0; column < grid.grid_columns; ++column) {
    for (int32_t row = 0; row < grid.grid_rows; ++row) {
      vec& c = grid.grid_offsets[column + row * grid.grid_columns];
      const float l2 = c.x * c.x + c.y * c.y;
      if (l2 == 0) {
        c.set(0, 0);
        continue;
      }
      const double f = 0.25f / std::sqrt(double{l2});
      c.x = static_cast<float>(c.x + (f * c.x - c.x) * 0.89f);
      c.y = static_cast<float>(c.y + (f * c.y - c.y) * 0.89f);
    }
  }
}
