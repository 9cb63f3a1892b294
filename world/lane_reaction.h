#pragma once
// ball::col's reaction, worked out for several balls side by side, one per lane of a
// vector type V: V's operations round each lane exactly as the same operation on one
// float does, so every lane ends bit for bit where col would.
//
// The code is shared by the four-lane and the eight-lane reactions; the latter's source
// file includes it under its own target options, so nothing here may be compiled
// outside a template on V.
//
// V provides V::kWidth, load, all, the arithmetic, comparisons, pick, cube and
// fourth_power, and two loaders that gather the lanes' operands: offsets(near, ex, ey)
// from each lane's Near and record_columns from each lane's Record.

#include "world/swarm_react.h"

namespace react {

// The fields of the reacting balls, one per lane.
template <class V>
struct Reacting {
  V size30, size8, nvx, nvy, item;  // 30 and 8 times the size, as col works them out
  V vx, vy, density, friction;
};

// ball::col's reaction of each lane's ball to one near neighbour, with the same
// operations in the same order and precision. Both branches of col are worked out and
// the result picked lane by lane. `near` points at each lane's offset, `record` at the
// neighbour's record. Without items every pair of balls attracts.
template <bool kItems, class V>
[[gnu::always_inline]] inline void react_step(Reacting<V>& a, const float* const* near,
                                              const float* const* record) {
  V ex, ey;
  offsets(near, ex, ey);
  V o_vx, o_vy, o_friction, o_size, o_nvx, o_nvy, o_item;
  record_columns<kItems>(record, o_vx, o_vy, o_friction, o_size, o_nvx, o_nvy, o_item);
  const V zero = V::all(0), one = V::all(1);

  const V d = sqrt(ex * ex + ey * ey);
  const V ux = ex / d, uy = ey / d;

  const V reach_of_cohesion = a.size30 + a.density;
  const V q = one - d / reach_of_cohesion;
  const V f = V::all(0.07f) * cube(q) * a.friction;
  if constexpr (kItems) {
    const auto cohesive = (a.item == o_item) | (o_item == zero) | (a.item == zero);
    a.vx = pick(cohesive, a.vx + ux * f, a.vx);
    a.vy = pick(cohesive, a.vy + uy * f, a.vy);
  } else {
    a.vx = a.vx + ux * f;
    a.vy = a.vy + uy * f;
  }

  const V m = a.size8 - V::all(4) * o_size;
  const auto repels = d < m;
  const V g = d / (m + a.density);
  const V p = fourth_power(one - g);
  const V matching = p * a.friction * o_friction;
  V vx = a.vx - ux * p, vy = a.vy - uy * p;
  const auto against = a.nvx * o_nvx + a.nvy * o_nvy < zero;
  vx = pick(against, vx + (o_vx - vx) * matching, vx);
  vy = pick(against, vy + (o_vy - vy) * matching, vy);
  a.vx = pick(repels, vx, a.vx);
  a.vy = pick(repels, vy, a.vy);
  a.density = pick(repels, a.density + g, a.density);
  a.friction = pick(repels, a.friction + (one - a.friction) * V::all(0.001f), a.friction);
}

// The reaction's steps: one index walks every lane's list of near neighbours, which
// keeps the lanes' pointers few enough to stay in registers.
template <bool kItems, class V>
void react_steps(Reacting<V>& a, const Reaction& reaction) {
  constexpr int kWidth = V::kWidth;
  const Near* lists[kWidth];
  for (int j = 0; j < kWidth; ++j) lists[j] = reaction.near[j];
  const Record* records = reaction.records;
  for (int32_t s = 0; s < reaction.steps; ++s) {
    const float* near[kWidth];
    const float* record[kWidth];
#pragma GCC unroll 8
    for (int j = 0; j < kWidth; ++j) {
      near[j] = &lists[j][s].ex;
      record[j] = &records[lists[j][s].entry].vx;
    }
    react_step<kItems>(a, near, record);
  }
}

template <class V>
void in_lanes(const Reaction& reaction) {
  LaneFields& f = *reaction.fields;
  Reacting<V> a{V::load(f.size30), V::load(f.size8),   V::load(f.nvx),
                V::load(f.nvy),    V::load(f.item),    V::load(f.vx),
                V::load(f.vy),     V::load(f.density), V::load(f.friction)};
  if (reaction.items) {
    react_steps<true>(a, reaction);
  } else {
    react_steps<false>(a, reaction);
  }
  a.vx.store(f.vx);
  a.vy.store(f.vy);
  a.density.store(f.density);
  a.friction.store(f.friction);
}

}  // namespace react
