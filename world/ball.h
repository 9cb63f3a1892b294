#pragma once
// The swarm: soft balls that behave like a cohesive fluid. Each is drawn toward its
// neighbours, pushed off those that come too close, matches velocity with those running
// against it and relaxes to a speed of 1. Its density is fed by close neighbours and
// decays otherwise, so a ball left alone fades out and dies.

#include <cstdint>
#include <memory>

#include "platform/list.h"
#include "render/gl.h"

struct World;
struct item;

struct ball {
  float x = 0.0f, y = 0.0f;
  float vx = 0.0f, vy = 0.0f;
  float xvx = 0.0f, xvy = 0.0f;  // never changed or read
  // Unit vector of the velocity, refreshed in move while the velocity is not zero.
  float nvx = 0.0f, nvy = 0.0f;
  // Radius of the core disc, of the shot hit test and the basis of neighbour distances.
  float size = 0.0f;
  float c_radius = 0.0f;  // radius of the additive halo
  float density = 0.0f;   // crowding: 2 at birth, decays, fed by close neighbours
  // Cohesion and colour: 1 when calm, -0.1 right after a shot hit.
  float friction = 0.0f;
  float infect = 0.0f;  // 1 after a hit, fading; nothing reads it
  // The item that emitted the ball. Holding it keeps it alive after it is collected, so
  // it can never be mistaken for a newer item.
  std::shared_ptr<item> bitem;
  uint8_t demo = 0;  // made without an item
  TList<std::unique_ptr<ball>>::TLink link;

  static ball& Create(World& world, float x, float y, float vx, float vy, float size,
                      float c_radius, std::shared_ptr<item> emitter);
  // One frame of the swarm: every ball moves and is drawn, the tree is rebuilt and every
  // ball reacts to its neighbours.
  static void update(World& world);
  // The same frame without any drawing: what the swarm costs by itself.
  static void simulate(World& world);
  void move(World& world);
  // Reacts to the balls of `neighbours` (which may list this ball, and a ball twice).
  void col(float reach2, TList<ball*>& neighbours);
  void draw(World& world);
};

// The colour a ball is drawn in: calm balls green to red by density, a freshly hit one
// shifted to blue.
Colour ball_colour(const ball& b);

// `count` balls without an item in a 400 x 400 square around the centre: the swarm of
// the title screen and of the Space key.
void spawn_ball_swarm(World& world, int32_t count);
