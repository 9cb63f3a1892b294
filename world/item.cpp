#include "world/item.h"

#include <cmath>

#include "render/draw.h"
#include "world/world.h"

namespace {

// While appearing, two guide lines close in on the item from the window's four edges
// and its ring grows; it neither moves, emits nor can be collected yet.
void draw_appearing(World& world, item& i) {
  Gl& gl = world.gl;
  const float k = 1 - i.appear;
  gl.BlendFunc(BlendFactor::SrcAlpha, BlendFactor::One);
  gl.LineWidth(3);
  gl.Disable(Capability::Texture2D);
  const Colour outer_colour{0, 1, 1, (1 - 2 * i.appear) * 0.5f};
  const Colour middle_colour{0, 1, 1, k * 0.5f};
  const float w = World::screen_width, h = World::screen_height;
  draw_line3(gl, i.p.x, k * i.p.y, i.p.x, i.p.y, i.p.x, h + (i.p.y - h) * k, outer_colour,
             middle_colour);
  draw_line3(gl, k * i.p.x, i.p.y, i.p.x, i.p.y, w + (i.p.x - w) * k, i.p.y, outer_colour,
             middle_colour);
  i.appear = i.appear - 0.05f;
  gl.Enable(Capability::Texture2D);
  gl.BlendFunc(BlendFactor::SrcAlpha, BlendFactor::OneMinusSrcAlpha);
  gl.BindTexture(world.sprites.ring);
  gl.Color(1, 1, 1, i.appear);
  draw_quad(gl, i.p.x, i.p.y, 10 * k);
}

// One ball every third frame until 80 are out; once all 80 have died, one at once and
// the rest after a pause of 240 frames.
void emit(World& world, const std::shared_ptr<item>& emitter) {
  item& i = *emitter;
  if (i.timer >= 1) {
    i.timer = i.timer - 1;
    return;
  }
  i.timer = 2;
  if (i.ballleft < 1) {
    i.timer = 240;
    i.ballcount = 0;
    i.ballleft = 80;
  }
  if (i.ballcount >= 80) return;
  const float r = static_cast<float>(world.random.RandomRange(0.4, 1));
  i.ballcount = i.ballcount + 1;
  const float vy = static_cast<float>(world.random.RandomRange(-1.2, 1.2));
  const float vx = static_cast<float>(world.random.RandomRange(-1.2, 1.2));
  ball::Create(world, i.p.x, i.p.y, vx, vy, 10 * cube(r), 20 * r, emitter);
}

void collect(World& world, item& i) {
  ship& s = world.player_ship;
  s.score = s.score + 10;
  if (s.weapon < 2.99f) {
    s.weapon = s.weapon + 0.25f;
    if (s.weapon > 2.99f) s.weapon = 2.99f;
  }
  if (s.shield < 1) s.shield = s.shield + (1 - s.shield) * 0.05f;
  world.sounds.CueCollect(world.collect_next, pan_at(s.x));
  world.collect_next = next_slot(world.collect_next, 4);
  i.link.Remove();
}

void bounce_off_edges(item& i) {
  if (i.p.x < 0) {
    i.v.x = std::fabs(i.v.x);
    i.p.x = i.p.x + i.v.x;
  }
  if (i.p.y < 0) {
    i.v.y = std::fabs(i.v.y);
    i.p.y = i.p.y + i.v.y;
  }
  if (i.p.x > World::screen_width) {
    i.v.x = -std::fabs(i.v.x);
    i.p.x = i.p.x + i.v.x;
  }
  if (i.p.y > World::screen_height) {
    i.v.y = -std::fabs(i.v.y);
    i.p.y = i.p.y + i.v.y;
  }
}

}  // namespace

std::shared_ptr<item> item::Create(World& world, float x, float y, int32_t typ) {
  auto made = std::make_shared<item>();
  made->p.set(x, y);
  const float vx = static_cast<float>(world.random.RandomRange(-2, 2));
  const float vy = static_cast<float>(world.random.RandomRange(-2, 2));
  made->v.set(vx, vy);
  made->typ = typ;
  made->ballcount = 0;
  made->ballleft = 80;
  made->timer = 150;
  made->appear = 1;
  made->glow = 0;
  made->link = world.item_list.AddLast(made);
  return made;
}

// An item collected in its move is still drawn and still emits in that frame.
void item::update(World& world) {
  for (auto link : world.item_list) {
    const std::shared_ptr<item>& i = link.Value();
    if (i->appear >= 0) {
      draw_appearing(world, *i);
      continue;
    }
    i->move(world);
    i->draw(world);
    emit(world, i);
  }
  for (auto link : world.item_list) link.Value()->col(world);
}

// With several items within 100 pixels, the last of them in list order sets the glow.
void item::col(World& world) {
  for (auto link : world.item_list) {
    const item* o = link.Value().get();
    if (o == nullptr || o == this) continue;
    vec e(o->p.x - p.x, o->p.y - p.y);
    const float l2 = e.dot();
    if (!(l2 > 0 && l2 < 10000)) continue;
    glow = 1 - l2 * 0.0001f;
    if (glow > 0.2f) {
      e.scale(static_cast<float>(glow / std::sqrt(double{l2})));
      v.subv(&e);
    } else {
      glow = 0;
    }
  }
}

// Right after a wave starts the speed is pinned to 1; as the wave goes on the pinning
// loosens and items keep what the ship and the shots give them.
void item::move(World& world) {
  const ship& s = world.player_ship;
  vec e(s.x - p.x, s.y - p.y);
  const float l2 = e.dot();
  if (l2 > 0 && l2 < 100000) {
    if (l2 < 1000) return collect(world, *this);
    e.normalize();
    e.scale(0.005f);
    v.addv(e);
  }
  p.addv(v);
  float pinning = 0.001f;
  if (world.wave_clock < 1) pinning = pinning + (1 - world.wave_clock);
  v.normalizep(pinning);
  bounce_off_edges(*this);
}

void item::draw(World& world) {
  Gl& gl = world.gl;
  gl.BlendFunc(BlendFactor::SrcAlpha, BlendFactor::One);
  gl.BindTexture(world.sprites.glow);
  if (glow > 0) {
    gl.Color(0.1f, 0.04f, 0.3f, glow);
    draw_quad(gl, p.x, p.y, 100 + 50 * glow);
  }
  // The body glows warm just before an emission and goes dark in the long pause.
  const float t = timer * 0.008f;
  gl.Color(0.6f - t * t, 0.4f - t, 0.35f - t, 1);
  draw_quad(gl, p.x, p.y, 10);
  gl.BlendFunc(BlendFactor::SrcAlpha, BlendFactor::OneMinusSrcAlpha);
  gl.BindTexture(world.sprites.ring);
  gl.Color(1, 1, 1, 1);
  draw_quad(gl, p.x, p.y, 10);
}
