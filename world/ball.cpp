#include "world/ball.h"

#include <cmath>

#include "render/draw.h"
#include "world/world.h"

namespace {

// The ball still follows the item that emitted it while that item is in play; once it
// is collected, the ball loses half its density and a hundredth of its size every frame.
void follow_item(ball& b) {
  const bool in_play = b.bitem && b.bitem->link.Linked();
  if (!in_play && b.demo == 0) {
    b.bitem = nullptr;
    b.density = b.density * 0.5f;
    b.size = b.size * 0.99f;
  }
  if (!b.bitem) return;
  item& emitter = *b.bitem;
  vec pull(emitter.p.x - b.x, emitter.p.y - b.y);
  pull.normalize();
  b.vx = b.vx + pull.x;
  b.vy = b.vy + pull.y;
  emitter.v.x = emitter.v.x + b.vx * 0.00001f;
  emitter.v.y = emitter.v.y + b.vy * 0.00001f;
}

// The walls are springs. On the left and top the coordinate is set to the new velocity
// rather than advanced by it.
void spring_off_walls(ball& b) {
  if (b.x > World::screen_width) {
    b.vx = b.vx + (World::screen_width - b.x);
    b.x = b.x + b.vx;
  }
  if (b.x < 0) {
    b.vx = b.vx - b.x;
    b.x = b.vx;
  }
  if (b.y > World::screen_height) {
    b.vy = b.vy + (World::screen_height - b.y);
    b.y = b.y + b.vy;
    b.vx = b.vx * 0.6f;
  }
  if (b.y < 0) {
    b.vy = b.vy - b.y;
    b.y = b.vy;
  }
}

}  // namespace

Colour ball_colour(const ball& b) {
  const float a = b.density * b.density * 0.05f;
  const float c1[3] = {a, 0.4f + 0.001f * a, 0.1f};
  float c2[3] = {0, 0.4f + 0.001f * a, a};
  for (int i = 0; i < 3; ++i) c2[i] = c2[i] + (c1[i] - c2[i]) * b.friction;
  return {c2[0], c2[1], c2[2], 0.5f + a};
}

ball& ball::Create(World& world, float x, float y, float vx, float vy, float size, float c_radius,
                   std::shared_ptr<item> emitter) {
  auto made = std::make_unique<ball>();
  ball& b = *made;
  b.x = x;
  b.y = y;
  b.vx = vx;
  b.vy = vy;
  b.size = size;
  b.c_radius = c_radius;
  b.density = 2;
  b.friction = 1;
  b.demo = emitter ? 0 : 1;
  b.bitem = std::move(emitter);
  b.link = world.ball_list.AddLast(std::move(made));
  return b;
}

void ball::update(World& world) {
  world.swarm.step(world, true);
}

void ball::simulate(World& world) {
  world.swarm.step(world, false);
}

void ball::move(World&) {
  x = x + vx;
  y = y + vy;
  follow_item(*this);
  spring_off_walls(*this);
  vec heading(vx, vy);
  if (heading.dot() != 0) {
    heading.normalize();
    nvx = heading.x;
    nvy = heading.y;
  }
  vx = vx + 0.05f * (nvx - vx);
  vy = vy + 0.05f * (nvy - vy);
  density = density * 0.8f;
  infect = infect * 0.96f;
  size = size * (0.95f + 0.05f * friction);
  if (size < 2 || density < 0.001f) {
    link.Remove();
    if (bitem) bitem->ballleft = bitem->ballleft - 1;
  }
}

// Balls of two different items repel but never attract each other. A neighbour listed
// twice acts twice. Only this ball changes.
void ball::col(float reach2, TList<ball*>& neighbours) {
  for (auto link : neighbours) {
    const ball* o = link.Value();
    if (o == nullptr || o == this) continue;
    const float ex = o->x - x, ey = o->y - y;
    const float d2 = ex * ex + ey * ey;
    if (!(d2 > 0 && d2 < reach2 - o->size * o->size)) continue;
    const float d = std::sqrt(d2);
    const float ux = ex / d, uy = ey / d;
    if (bitem == o->bitem || !o->bitem || !bitem) {
      const float reach_of_cohesion = 30 * size + density;
      const float q = 1 - d / reach_of_cohesion;
      const float f = 0.07f * cube(q) * friction;
      vx = vx + ux * f;
      vy = vy + uy * f;
    }
    const float m = 8 * size - 4 * o->size;
    if (d < m) {
      const float g = d / (m + density);
      density = density + g;
      const float p = fourth_power(1 - g);
      const float matching = p * friction * o->friction;
      vx = vx - ux * p;
      vy = vy - uy * p;
      if (nvx * o->nvx + nvy * o->nvy < 0) {
        vx = vx + (o->vx - vx) * matching;
        vy = vy + (o->vy - vy) * matching;
      }
      friction = friction + (1 - friction) * 0.001f;
    }
  }
}

void ball::draw(World& world) {
  Gl& gl = world.gl;
  gl.BlendFunc(BlendFactor::SrcAlpha, BlendFactor::One);
  draw_quad(gl, x, y, c_radius);
  gl.BlendFunc(BlendFactor::SrcAlpha, BlendFactor::OneMinusSrcAlpha);
  draw_quad(gl, x, y, size);
}

void spawn_ball_swarm(World& world, int32_t count) {
  constexpr int32_t half = World::screen_width / 2;
  for (int32_t i = 0; i < count; ++i) {
    const float r = static_cast<float>(world.random.RandomRange(0.4, 1.0));
    const float v = static_cast<float>(world.random.RandomRange(-1.2, 1.2));
    const float u = static_cast<float>(world.random.RandomRange(-1.2, 1.2));
    const int32_t by =
        world.random.RandomIntRange(World::screen_height / 2 - 200, World::screen_height / 2 + 200);
    const int32_t bx = world.random.RandomIntRange(half - 200, half + 200);
    ball::Create(world, static_cast<float>(bx), static_cast<float>(by), u, v, r * r * r * 10,
                 r * 20, nullptr);
  }
  // The swarm's buffers grow now rather than in the next frame.
  world.swarm.make_room_for(static_cast<size_t>(world.ball_list.Count()));
}
