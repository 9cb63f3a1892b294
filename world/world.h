#pragma once
// The play field: every object of the world and what the objects read or change outside
// themselves. The game owns one World and hands it to the entity code by reference, so
// each test or benchmark starts from a fresh one.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/list.h"
#include "platform/random.h"
#include "render/gl.h"
#include "render/textures.h"
#include "world/ball.h"
#include "world/exhaust.h"
#include "world/item.h"
#include "world/quadtree.h"
#include "world/ship.h"
#include "world/shot.h"
#include "world/swarm.h"
#include "world/vec.h"

// The sounds the world's objects set off. Every cue is made paused; the game starts all
// its channels together once per frame, after pans, volumes and rates are set.
class WorldSounds {
 public:
  virtual ~WorldSounds() = default;
  // The pop sound on pop channel `slot` (0 to 7), cutting off what that channel played.
  virtual void CuePop(int32_t slot, float pan) = 0;
  // The collect sound on collect channel `slot` (0 to 3), likewise.
  virtual void CueCollect(int32_t slot, float pan) = 0;
  // Settings of the looping drain sound's channel.
  virtual void SetDrainRate(float rate) = 0;
  virtual void SetDrainVolume(float volume) = 0;
};

// The current of the exhaust trail: one displacement vector per 16-pixel cell, with a
// border column and row on each side of the window.
struct ExhaustGrid {
  ExhaustGrid(int32_t width, int32_t height, Random& random);
  // The cell under the point; points off the window use the border cells.
  vec& cell(float px, float py);

  int32_t grid_cell_size = 16;
  int32_t grid_columns;
  int32_t grid_rows;
  // grid_columns more entries than the grid has cells; the extra ones are never used.
  std::vector<vec> grid_offsets;
};

struct World {
  // The random draws of the offset grid happen here.
  World(Gl& gl, Random& random, WorldSounds& sounds, const SpriteTextures& sprites);

  static constexpr int32_t screen_width = 700;
  static constexpr int32_t screen_height = 700;

  Gl& gl;
  Random& random;
  WorldSounds& sounds;
  SpriteTextures sprites;

  TList<std::unique_ptr<exhaust>> exhaust_list;
  TList<std::unique_ptr<shot>> shot_list;
  TList<std::shared_ptr<item>> item_list;
  TList<std::unique_ptr<ball>> ball_list;
  // The balls' neighbour tree and the other buffers of the swarm's frame, kept from
  // frame to frame.
  Swarm swarm;
  ExhaustGrid grid;
  ship player_ship;

  // Loudness of the drain sound, 0 to 1: raised by every ball touching the ship.
  float drain_level = 0.0f;
  // Grows by 0.001 a frame from the start of a wave; items are held to speed 1 early on.
  float wave_clock = 0.0f;
  // Next slots of the rotating pop and collect channels.
  int32_t pop_next = 0;
  int32_t collect_next = 0;
  // The mouse pointer in window pixels, as the ship turns toward it.
  int32_t pointer_x = 0;
  int32_t pointer_y = 0;
};

// A sound's pan for a position across the window: -1 at the left edge, +1 at the right.
inline float pan_at(float x) {
  return -1 + (x / World::screen_width) * 2;
}

// The slot after `slot` in a rotating pool of `size` channels.
inline int32_t next_slot(int32_t slot, int32_t size) {
  return slot + 1 > size - 1 ? 0 : slot + 1;
}

// Powers are worked out in double precision and stored as floats.
inline float cube(float q) {
  const double d = q;
  return static_cast<float>(d * d * d);
}
inline float fourth_power(float q) {
  const double square = double{q} * q;
  return static_cast<float>(square * square);
}
