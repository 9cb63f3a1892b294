#include "world/ship.h"

#include <algorithm>

#include "render/draw.h"
#include "world/world.h"

namespace {

void bounce_off_edges(ship& s) {
  if (s.x < 0) {
    s.vx = -s.vx;
    s.x = s.x + s.vx;
  }
  if (s.y < 0) {
    s.vy = -s.vy;
    s.y = s.y + s.vy;
  }
  if (s.x > World::screen_width) {
    s.vx = -s.vx;
    s.x = s.x + s.vx;
  }
  if (s.y > World::screen_height) {
    s.vy = -s.vy;
    s.y = s.y + s.vy;
  }
}

// A textured quad laid along the facing: `front` ahead of the ship's centre, `back`
// behind it, `half_width` to each side. The texture's top row (v = 0) is the nose.
struct FacingQuad {
  float front, back, half_width;
  Colour front_colour, back_colour;
};

void draw_facing_quad(Gl& gl, const ship& s, const FacingQuad& quad) {
  const float qx = -s.sy, qy = s.sx;
  const float fx = s.x + quad.front * s.sx, fy = s.y + quad.front * s.sy;
  const float bx = s.x - quad.back * s.sx, by = s.y - quad.back * s.sy;
  const float wx = quad.half_width * qx, wy = quad.half_width * qy;
  gl.Color(quad.front_colour);
  gl.Begin(Primitive::Quads);
  gl.TexCoord(1, 0);
  gl.Vertex(fx - wx, fy - wy);
  gl.TexCoord(0, 0);
  gl.Vertex(fx + wx, fy + wy);
  gl.Color(quad.back_colour);
  gl.TexCoord(0, 1);
  gl.Vertex(bx + wx, by + wy);
  gl.TexCoord(1, 1);
  gl.Vertex(bx - wx, by - wy);
  gl.End();
}

constexpr Colour kRed{1, 0, 0, 1};
constexpr Colour kOrange{1, 0.5f, 0, 1};
constexpr Colour kCyan{0, 1, 1, 1};
constexpr Colour kBlack{0, 0, 0, 1};

// A red flash around the ship for every ball it touches.
void draw_contact_flare(World& world, const ship& s) {
  constexpr float h = 33;
  world.gl.BlendFunc(BlendFactor::SrcAlpha, BlendFactor::One);
  world.gl.BindTexture(world.sprites.shade);
  draw_facing_quad(world.gl, s, {1.5f * h, h, h, kRed, kRed});
}

// The ball is pushed off, the ship dragged along, and every touch sets the ship's speed
// to exactly 1 and drains the shield and the weapon's fraction (a whole level stays).
void touch_ball(World& world, ship& s, ball& b, float ex, float ey, float d2) {
  const float k = (0.1f - d2 / 10000) * b.density * 0.01f;
  s.vx = s.vx + 0.001f * b.density * b.vx;
  s.vy = s.vy + 0.001f * b.density * b.vy;
  vec velocity(s.vx, s.vy);
  velocity.normalize();
  s.vx = velocity.x;
  s.vy = velocity.y;
  b.vx = b.vx + ex * k;
  b.vy = b.vy + ey * k;
  s.shield = s.shield - 0.00002f * b.density;
  const float whole = static_cast<float>(static_cast<int32_t>(s.weapon));
  s.weapon = s.weapon - whole > 0 ? s.weapon - 0.0005f * b.density : whole;
  draw_contact_flare(world, s);
  world.drain_level = std::min(world.drain_level + 0.1f, 1.0f);
}

}  // namespace

void ship::stop(World&) {
  x = x + vx;
  y = y + vy;
  bounce_off_edges(*this);
  vx = vx * 0.92f;
  vy = vy * 0.92f;
}

void ship::move(World& world) {
  x = x + vx;
  y = y + vy;
  bounce_off_edges(*this);
  vx = vx * 0.98f;
  vy = vy * 0.98f;
  for (auto link : world.ball_list) {
    ball& b = *link.Value();
    const float ex = b.x - x, ey = b.y - y;
    const float d2 = ex * ex + ey * ey;
    if (d2 > 0 && d2 < 1000) touch_ball(world, *this, b, ex, ey, d2);
  }
  world.sounds.SetDrainRate(0.2f + 0.8f * shield);
  world.sounds.SetDrainVolume(world.drain_level);
}

void ship::draw(World& world) {
  vec facing(static_cast<float>(world.pointer_x) - x, static_cast<float>(world.pointer_y) - y);
  facing.normalize();
  sx = facing.x;
  sy = facing.y;
  Gl& gl = world.gl;
  gl.BindTexture(world.sprites.ship);
  // A glowing teardrop, orange at the nose and cyan at the tail, under a black one.
  gl.BlendFunc(BlendFactor::SrcAlpha, BlendFactor::One);
  draw_facing_quad(gl, *this, {1.8f * 18, 18, 18, kOrange, kCyan});
  gl.BlendFunc(BlendFactor::SrcAlpha, BlendFactor::OneMinusSrcAlpha);
  draw_facing_quad(gl, *this, {2.0f * 15, 15, 15, kBlack, kBlack});
  gl.Color(1, 1, 1, 1);
}
