#include "world/quadtree.h"

#include "render/draw.h"
#include "world/ball.h"
#include "world/vec.h"

namespace {

struct Rect {
  float x, y, w, h;
  bool contains(float px, float py) const { return x <= px && px < x + w && y <= py && py < y + h; }
};

// Halves of a node's width and height, taken from the truncated sizes.
float half_of(float size) {
  return static_cast<float>(static_cast<int32_t>(size) >> 1);
}

Rect child_rect(const Rect& r, int i) {
  const float hw = half_of(r.w), hh = half_of(r.h);
  switch (i) {
    case 0:
      return {r.x + hw, r.y, hw, hh};
    case 1:
      return {r.x, r.y, hw, hh};
    case 2:
      return {r.x, r.y + hh, hw, hh};
    default:
      return {r.x + hw, r.y + hh, hw, hh};
  }
}

// The child a ball moves to when its leaf splits: by the halving lines alone, so a ball
// in the strip that belongs to no child still lands in the right-hand children.
int split_child(const Rect& r, const ball& b) {
  const bool right = b.x >= r.x + half_of(r.w);
  const bool bottom = b.y >= r.y + half_of(r.h);
  if (right) return bottom ? 3 : 0;
  return bottom ? 2 : 1;
}

}  // namespace

std::unique_ptr<quadtree> quadtree::Create(int32_t index, int32_t gen) {
  auto node = std::make_unique<quadtree>();
  node->leaf = 1;
  node->gen = gen;
  node->index = static_cast<uint8_t>(index);
  node->list = std::make_unique<TList<ball*>>();
  return node;
}

// Only leaves test containment and the children's rectangles never overlap, so the ball
// goes straight down to the one child whose rectangle holds it, if any.
void quadtree::enter(ball& b, float x, float y, float w, float h) {
  const Rect rect{x, y, w, h};
  if (!leaf) {
    for (int i = 0; i < 4; ++i) {
      const Rect child = child_rect(rect, i);
      if (child.contains(b.x, b.y)) return sub[i]->enter(b, child.x, child.y, child.w, child.h);
    }
    return;
  }
  if (!rect.contains(b.x, b.y)) return;
  list->AddLast(&b);
  count = count + 1;
  if (count <= 10) return;
  for (int i = 0; i < 4; ++i) sub[i] = Create(i, gen + 1);
  for (auto link : *list) {
    ball* o = link.Value();
    sub[split_child(rect, *o)]->list->AddLast(o);
  }
  list->Clear();
  leaf = 0;
  enter(b, x, y, w, h);
}

void quadtree::search(TList<ball*>& out, const vec& lo, const vec& hi, float x, float y, float w,
                      float h) {
  if (!(x + w > lo.x && y + h > lo.y && y < hi.y && x < hi.x)) return;
  if (leaf) {
    for (auto link : *list) out.AddLast(link.Value());
    return;
  }
  for (int i = 0; i < 4; ++i) {
    const Rect child = child_rect({x, y, w, h}, i);
    sub[i]->search(out, lo, hi, child.x, child.y, child.w, child.h);
  }
}

TList<ball*>* quadtree::read(const vec& p, float x, float y, float w, float h) {
  const Rect rect{x, y, w, h};
  if (leaf) return rect.contains(p.x, p.y) ? list.get() : nullptr;
  const bool right = p.x >= x + half_of(w);
  const bool top = p.y < y + half_of(h);
  const int i = right ? (top ? 0 : 3) : (top ? 1 : 2);
  const Rect child = child_rect(rect, i);
  return sub[i]->read(p, child.x, child.y, child.w, child.h);
}

void quadtree::clear() {
  for (auto& child : sub) {
    if (!child) continue;
    if (child->leaf) {
      child->list->Clear();
    } else {
      child->clear();
    }
  }
}

void quadtree::draw(Gl& gl, float x, float y, float w, float h) {
  if (!leaf) {
    for (int i = 0; i < 4; ++i) {
      const Rect child = child_rect({x, y, w, h}, i);
      sub[i]->draw(gl, child.x, child.y, child.w, child.h);
    }
    return;
  }
  const float hw = half_of(w), hh = half_of(h);
  gl.Disable(Capability::Texture2D);
  gl.Color(0, 1, 0, count * 0.025f);
  draw_quad(gl, x + hw, y + hh, hw);
  draw_frame(gl, x, y, x + w, y + h);
  gl.Enable(Capability::Texture2D);
}
