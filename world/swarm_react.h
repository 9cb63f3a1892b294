#pragma once
// What the swarm's frame hands to the lanes that work out ball::col's reactions: the
// near neighbours of each reacting ball, the records of the balls they read and the
// fields of the reacting balls, lane by lane. Two sets of lanes do the same arithmetic:
// four wide with SSE2, which every x86-64 has, and eight wide with AVX where the
// processor has it.

#include <cstdint>

namespace react {

// The most lanes that react side by side.
constexpr int kMostLanes = 8;

// A near neighbour: its offset and its entry in the tree.
struct Near {
  float ex, ey;
  int32_t entry;
  float unused;
};

// What a reaction reads of the ball at an entry. Velocity and friction are the result
// of the ball's own reaction once it has been handed on, its fields from before that
// until then; the rest stays as it is.
struct Record {
  float vx, vy, friction, size;
  float nvx, nvy;
  float item;  // the item's number as a float (exact: there are few), 0 without one
  float unused;
};

// The fields of the reacting balls, one per lane.
struct LaneFields {
  // 30 and 8 times the size, as col works them out.
  alignas(32) float size30[kMostLanes], size8[kMostLanes], nvx[kMostLanes], nvy[kMostLanes];
  alignas(32) float item[kMostLanes];
  alignas(32) float vx[kMostLanes], vy[kMostLanes], density[kMostLanes], friction[kMostLanes];
};

// `steps` reactions in each lane: lane j reacts to near[j][0], near[j][1], ... in turn,
// reading each neighbour's record at records[entry] (entry -1 included). Balls of
// different items repel without attracting only when `items` is on.
struct Reaction {
  LaneFields* fields;
  const Near* near[kMostLanes];
  int32_t steps;
  const Record* records;
  bool items;
};

// Four lanes, and eight: the latter only where wide_lanes_supported(), which holds when
// the processor and the system support AVX.
void in_four_lanes(const Reaction& reaction);
void in_eight_lanes(const Reaction& reaction);
bool wide_lanes_supported();

}  // namespace react
