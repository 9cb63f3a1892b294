#pragma once
// The swarm's frame written the plain way, straight from the rules: a fresh quadtree of
// linked lists every frame, one search per ball into a scratch list, and ball::col on
// that list. The fast frame of ball::update must leave every ball exactly as this does.

#include "world/world.h"

namespace reference {

// The search box around a ball, kept inside the window.
inline void neighbourhood(const ball& b, float reach, vec& lo, vec& hi) {
  lo.set(b.x - reach, b.y - reach);
  if (lo.x < 0) lo.x = 0;
  if (lo.y < 0) lo.y = 0;
  hi.set(b.x + reach, b.y + reach);
  if (hi.x > World::screen_width - 1) hi.x = World::screen_width - 1;
  if (hi.y > World::screen_height - 1) hi.y = World::screen_height - 1;
}

// One frame of the swarm; with `drawing` off the colour and draw calls are left out.
inline void swarm_update(World& world, bool drawing = true) {
  if (drawing) world.gl.BindTexture(world.sprites.shade);
  for (auto link : world.ball_list) {
    ball& b = *link.Value();
    b.move(world);
    if (!drawing) continue;
    world.gl.Color(ball_colour(b));
    b.draw(world);
  }
  auto tree = quadtree::Create(0, 0);
  for (auto link : world.ball_list) {
    tree->enter(*link.Value(), 0, 0, World::screen_width, World::screen_height);
  }
  TList<ball*> neighbour_list;
  vec lo, hi;
  for (auto link : world.ball_list) {
    ball& b = *link.Value();
    const float reach = 4 * b.size;
    neighbourhood(b, reach, lo, hi);
    tree->search(neighbour_list, lo, hi, 0, 0, World::screen_width, World::screen_height);
    if (!neighbour_list.IsEmpty()) b.col(reach * reach, neighbour_list);
    neighbour_list.Clear();
  }
  tree->clear();
}

}  // namespace reference
