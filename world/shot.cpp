#include "world/shot.h"

#include "render/draw.h"
#include "world/world.h"

namespace {

bool outside_field(float x, float y) {
  return x > World::screen_width || x < 0 || y > World::screen_height || y < 0;
}

// The hit test runs along the line through the old position in the previous move's
// direction, not along the segment: a ball behind the shot on that line is hit too.
bool hits(const shot& s, const ball& b, float ox, float oy) {
  const float r2 = b.size * b.size;
  const float ex = b.x - ox, ey = b.y - oy;
  const float e2 = ex * ex + ey * ey;
  if (!(e2 > 0 && e2 < r2 + s.coldist)) return false;
  const float t = ex * s.nx + ey * s.ny;
  const float px = ex - s.nx * t, py = ey - s.ny * t;
  return px * px + py * py < r2;
}

void knock(World& world, shot& s, ball& b) {
  world.sounds.CuePop(world.pop_next, pan_at(s.x));
  world.pop_next = next_slot(world.pop_next, 8);
  b.density = b.density * 0.5f;
  if (b.size < 10) b.size = b.size * 1.5f;
  b.vx = b.vx + s.vx * 0.5f;
  b.vy = b.vy + s.vy * 0.5f;
  b.friction = -0.1f;
  b.infect = 1;
  world.player_ship.score = world.player_ship.score + 1;
  Gl& gl = world.gl;
  gl.BindTexture(world.sprites.shade);
  gl.BlendFunc(BlendFactor::SrcAlpha, BlendFactor::One);
  gl.Color(0.5f, 0.8f, 1, 1);
  draw_quad(gl, b.x, b.y, 50);
  draw_quad(gl, b.x, b.y, 30);
  s.link.Remove();
}

// Items a little ahead of the shot, inside a narrow cone, are pushed away from it.
void push_items(World& world, const shot& s, float ox, float oy) {
  for (auto link : world.item_list) {
    item& i = *link.Value();
    vec e(i.p.x - ox, i.p.y - oy);
    const float e2 = e.dot();
    if (!(e2 > 0 && e2 < 2000)) continue;
    e.normalize();
    vec direction(s.vx, s.vy);
    if (direction.dot() == 0) continue;
    direction.normalize();
    if (e.x * direction.x + e.y * direction.y > 0.8f) {
      i.v.x = i.v.x + e.x * 0.1f;
      i.v.y = i.v.y + e.y * 0.1f;
    }
  }
}

void draw_shot(World& world, const shot& s, float ox, float oy) {
  Gl& gl = world.gl;
  gl.BindTexture(world.sprites.shade);
  gl.BlendFunc(BlendFactor::SrcAlpha, BlendFactor::One);
  gl.Color(0.5f, 1, 1, 1);
  draw_beam(gl, s.x, s.y, ox, oy, -3 * s.ny, 3 * s.nx);
  draw_beam(gl, s.x, s.y, ox, oy, -9 * s.ny, 9 * s.nx);
  gl.Disable(Capability::Texture2D);
  gl.Begin(Primitive::Lines);
  gl.Vertex(ox, oy);
  gl.Vertex(s.x, s.y);
  gl.End();
  gl.Enable(Capability::Texture2D);
  gl.BlendFunc(BlendFactor::SrcAlpha, BlendFactor::OneMinusSrcAlpha);
}

}  // namespace

shot& shot::Create(World& world, float x, float y, float dx, float dy, float size, float speed) {
  auto made = std::make_unique<shot>();
  shot& s = *made;
  vec direction(dx, dy);
  direction.normalize();
  s.x = x;
  s.y = y;
  s.vx = direction.x * speed;
  s.vy = direction.y * speed;
  s.speed = speed;
  s.size = size;
  s.coldist = speed * speed;
  s.link = world.shot_list.AddLast(std::move(made));
  return s;
}

void shot::update(World& world) {
  for (auto link : world.shot_list) link.Value()->move(world);
}

// A shot that leaves the field or hits a ball removes itself but finishes the move: it
// goes on hitting the balls after the first and is drawn this once more.
void shot::move(World& world) {
  const float ox = x, oy = y;
  x = x + vx;
  y = y + vy;
  if (outside_field(x, y)) link.Remove();
  for (auto ball_link : world.ball_list) {
    ball& b = *ball_link.Value();
    if (hits(*this, b, ox, oy)) knock(world, *this, b);
  }
  push_items(world, *this, ox, oy);
  vec direction(vx, vy);
  direction.normalize();
  nx = direction.x;
  ny = direction.y;
  draw_shot(world, *this, ox, oy);
}
