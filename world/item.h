#pragma once
// Items: the pick-ups of the game and the sources of the swarm. An item appears with a
// short animation, drifts, repels other items, is drawn toward a nearby ship and emits
// its balls in bursts of 80. Flying close collects it.

#include <cstdint>
#include <memory>

#include "platform/list.h"
#include "world/vec.h"

struct World;

struct item {
  vec p;                  // position
  vec v;                  // velocity
  int32_t typ = 0;        // kind given at creation; nothing reads it
  int32_t timer = 0;      // frames until the next ball may come
  int32_t ballcount = 0;  // balls emitted in the current burst
  int32_t ballleft = 0;   // balls of the burst still to die before the next one
  float glow = 0.0f;      // halo shown while another item is near, 0 to 1
  // 1 at creation, falling by 0.05 a frame; the item is active once it is below 0.
  float appear = 0.0f;
  TList<std::shared_ptr<item>>::TLink link;

  static std::shared_ptr<item> Create(World& world, float x, float y, int32_t typ);
  // One frame of every item: animation or movement, drawing, emission, then repulsion.
  static void update(World& world);
  // Repulsion from the other items, and the glow that shows it.
  void col(World& world);
  // Attraction to the ship and collection, motion, speed control and the edges.
  void move(World& world);
  void draw(World& world);
};
