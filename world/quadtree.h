#pragma once
// The point quadtree through which every ball finds its neighbours. It is rebuilt from
// nothing every frame. Nodes do not store their rectangles: every operation is given
// the node's rectangle, the root's being the window.
//
// A node's children split its width and height in halves rounded down, so where a
// width or height is odd the parent's last column or row belongs to no child: a ball
// entered there after the split is stored nowhere. A leaf splits at its eleventh entered
// ball and moves its balls down by a coarser rule than containment; the child that holds
// the ball that caused the split lists it twice.

#include <array>
#include <cstdint>
#include <memory>

#include "platform/list.h"

struct ball;
class Gl;
class vec;

struct quadtree {
  // A node made by the constructor alone is no leaf and has no list.
  std::array<std::unique_ptr<quadtree>, 4> sub;  // right top, left top, left bottom, right bottom
  int32_t gen = 0;                               // depth
  uint8_t index = 0;                             // which quadrant of its parent this is
  int32_t count = 0;  // balls entered while a leaf (not those moved down into it)
  uint8_t leaf = 0;
  std::unique_ptr<TList<ball*>> list;

  // A new, empty leaf.
  static std::unique_ptr<quadtree> Create(int32_t index, int32_t gen);
  // Enters b into the subtree whose root has the rectangle (x, y, w, h).
  void enter(ball& b, float x, float y, float w, float h);
  // Appends to out every ball of every leaf whose rectangle overlaps the box lo-hi.
  void search(TList<ball*>& out, const vec& lo, const vec& hi, float x, float y, float w, float h);
  // The list of the leaf containing p, or null.
  TList<ball*>* read(const vec& p, float x, float y, float w, float h);
  // Empties the lists of every leaf below this node; the shape stays.
  void clear();
  // Draws the leaves below this node, more opaque the more balls were entered into them.
  void draw(Gl& gl, float x, float y, float w, float h);
};
