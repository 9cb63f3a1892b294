#include "world/swarm.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "world/hot_path.h"
#include "world/lane_reaction.h"
#include "world/lanes.h"
#include "world/world.h"

namespace {

// The search box around a ball, kept inside the window.
[[gnu::always_inline]] inline void neighbourhood(float x, float y, float reach, vec& lo, vec& hi) {
  lo.set(x - reach, y - reach);
  if (lo.x < 0) lo.x = 0;
  if (lo.y < 0) lo.y = 0;
  hi.set(x + reach, y + reach);
  if (hi.x > World::screen_width - 1) hi.x = World::screen_width - 1;
  if (hi.y > World::screen_height - 1) hi.y = World::screen_height - 1;
}

}  // namespace

namespace react {

void in_four_lanes(const Reaction& reaction) {
  in_lanes<Lanes>(reaction);
}

bool wide_lanes_supported() {
  // Asks the system too: the processor's flag alone would not tell whether the wide
  // registers are saved when tasks switch.
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx");
}

}  // namespace react

Swarm::Swarm() {
  use_wide_lanes(true);
}

void Swarm::use_wide_lanes(bool wide) {
  width_ = wide && react::wide_lanes_supported() ? 8 : 4;
}

void Swarm::step(World& world, bool drawing) {
  make_room_for(static_cast<size_t>(world.ball_list.Count()));
  move_and_gather(world, drawing);
  tree_.build(x_.data(), y_.data(), size2_.data(), static_cast<int32_t>(balls_.size()));
  lay_out_entries();
  react_all();
}

// Room for every buffer with `balls` balls: each ball has at most two entries.
void Swarm::make_room_for(size_t balls) {
  make_room(balls_, balls);
  for (auto* v : {&x_, &y_, &size2_}) make_room(*v, balls);
  make_room(own_, balls);
  make_room(entries_of_, balls);
  make_room(finished_, balls);
  make_room(records_, 2 * balls + 1);
  make_room(idle_near_, 2 * balls + BallTree::kPadding);
  make_room(pending_, 2 * balls + BallTree::kPadding);
  make_room(runs_, BallTree::most_runs(static_cast<int32_t>(balls)));
  // No search yields an entry twice, and four more are written past the last.
  const size_t near = 2 * balls + BallTree::kPadding;
  for (Prepared& lane : lanes_) lane.near.make_room(near);
  for (Waiting& waiting : waiting_) waiting.ball.near.make_room(near);
  tree_.make_room_for(static_cast<int32_t>(balls));
}

// Every ball moves and is drawn in list order; those still in the list are gathered.
SWARM_HOT_PATH void Swarm::move_and_gather(World& world, bool drawing) {
  balls_.clear();
  x_.clear();
  y_.clear();
  size2_.clear();
  own_.clear();
  items_.clear();
  if (drawing) world.gl.BindTexture(world.sprites.shade);
  for (auto link : world.ball_list) {
    ball& b = *link.Value();
    b.move(world);
    if (drawing) {
      world.gl.Color(ball_colour(b));
      b.draw(world);
    }
    if (b.link.Linked()) gather(b);
  }
}

void Swarm::gather(ball& b) {
  balls_.push_back(&b);
  x_.push_back(b.x);
  y_.push_back(b.y);
  size2_.push_back(b.size * b.size);
  own_.push_back({b.x, b.y, b.size, b.nvx, b.nvy, item_number(b.bitem.get()), b.vx, b.vy, b.density,
                  b.friction});
}

// Cohesion only asks whether two balls share their item, so items become small numbers
// (as floats, exact for any count of items a game has) that the lanes compare at once.
// There are few items, and balls of one item tend to follow each other in the list.
float Swarm::item_number(const void* item) {
  if (item == nullptr) return 0;
  if (!items_.empty() && items_.back() == item) return static_cast<float>(items_.size());
  const auto known = std::find(items_.begin(), items_.end(), item);
  if (known != items_.end()) return static_cast<float>(known - items_.begin()) + 1;
  items_.push_back(item);
  return static_cast<float>(items_.size());
}

// Fields by entry lie in the order of the leaves, so neighbours are read from nearby
// memory. The record before the first entry's is what idle lanes read.
void Swarm::lay_out_entries() {
  const int32_t entries = tree_.entry_count();
  const int32_t* entry_ball = tree_.entry_ball();
  const size_t padded = static_cast<size_t>(entries) + BallTree::kPadding;
  pending_.assign(padded, 0);
  records_.resize(entries + 1);
  // An idle lane meets a small neighbour 1 pixel away, again and again: its numbers stay
  // tame, and are dropped anyway. Every lane steps through its list by one index, so an
  // idle one has a list of its own, as long as any.
  records_[0] = {0, 0, 1, 0, 0, 0, 0, 0};
  if (idle_near_.size() < padded) idle_near_.resize(padded, {1, 0, -1, 0});
  entries_of_.assign(balls_.size(), {-1, -1});
  for (int32_t k = 0; k < entries; ++k) {
    const int32_t ball = entry_ball[k];
    const Own& o = own_[ball];
    record_of(k) = {o.vx, o.vy, o.friction, o.size, o.nvx, o.nvy, o.item, 0};
    auto& listed = entries_of_[ball];
    listed[listed[0] < 0 ? 0 : 1] = k;
  }
}

SWARM_HOT_PATH void Swarm::react_all() {
  finished_.assign(balls_.size(), 0);
  next_ball_ = 0;
  handed_on_ = 0;
  waiting_count_ = 0;
  for (int j = 0; j < react::kMostLanes; ++j) go_idle(j);
  const unsigned lanes = (1u << width_) - 1;
  while (true) {
    for (unsigned idle = lanes & ~reacting_; idle != 0; idle &= idle - 1) {
      fill_idle_lane(std::countr_zero(idle));
    }
    // With no ball reacting, every ball has finished: the earliest waiting one would
    // have found its earlier balls handed on.
    if (reacting_ == 0) return;
    int32_t steps = INT32_MAX;
    for (unsigned r = reacting_; r != 0; r &= r - 1)
      steps = std::min(steps, left_[std::countr_zero(r)]);
    run_lanes(steps);
    for (unsigned r = reacting_; r != 0; r &= r - 1) {
      if (left_[std::countr_zero(r)] == 0) finish(std::countr_zero(r));
    }
  }
}

// An idle lane takes a waiting ball that may start now or else the next ball in list
// order. That one may have to wait in turn; balls after it may start before it, since
// results are handed on in list order all the same.
void Swarm::fill_idle_lane(int j) {
  const int32_t count = static_cast<int32_t>(balls_.size());
  while (waiting_count_ == 0 || !start_waiting_ball(j)) {
    if (next_ball_ == count || waiting_count_ == width_) return;
    Prepared& p = lanes_[j];
    prepare(p, next_ball_++);
    if (p.near_count == 0) {
      finish_ball(p.ball);
    } else if (p.waits_for < handed_on_) {
      return start(j);
    } else {
      const auto room = std::find_if(waiting_.begin(), waiting_.begin() + width_,
                                     [](const Waiting& waiting) { return !waiting.used; });
      std::swap(p, room->ball);
      room->used = true;
      ++waiting_count_;
    }
  }
}

// Starts the earliest waiting ball whose earlier balls have handed on their results.
bool Swarm::start_waiting_ball(int j) {
  Waiting* earliest = nullptr;
  for (int w = 0; w < width_; ++w) {
    Waiting& waiting = waiting_[w];
    if (!waiting.used || waiting.ball.waits_for >= handed_on_) continue;
    if (!earliest || waiting.ball.ball < earliest->ball.ball) earliest = &waiting;
  }
  if (!earliest) return false;
  std::swap(lanes_[j], earliest->ball);
  earliest->used = false;
  --waiting_count_;
  start(j);
  return true;
}

// Ball i's near neighbours: the entries of its search that pass ball::col's first test,
// 0 < d2 < reach2 - size², four at a time (the ball itself lies at d2 = 0). Every lane
// is written and only those that pass are kept, so there is no branch to mispredict.
SWARM_HOT_PATH void Swarm::prepare(Prepared& p, int32_t i) {
  p.ball = i;
  const Own& own = own_[i];
  const float reach = 4 * own.size;
  vec lo, hi;
  neighbourhood(own.x, own.y, reach, lo, hi);
  runs_.clear();
  tree_.search(lo, hi, runs_, entries_of_[i][0]);
  const float* entry_x = tree_.entry_x();
  const float* entry_y = tree_.entry_y();
  const float* entry_size2 = tree_.entry_size2();
  const Lanes ax = Lanes::all(own.x), ay = Lanes::all(own.y);
  const Lanes zero = Lanes::all(0), reach2 = Lanes::all(reach * reach);
  const IntLanes pending = IntLanes::all(-1), lane_offset = IntLanes::of(0, 1, 2, 3);
  LaneMask lists_pending = LaneMask::none();
  Near* near = p.near.data();
  int32_t n = 0;
  for (const EntryRun& run : runs_) {
    const IntLanes run_end = IntLanes::all(run.end);
    for (int32_t k = run.begin; k < run.end; k += 4) {
      Lanes ex = Lanes::load(entry_x + k) - ax;
      Lanes ey = Lanes::load(entry_y + k) - ay;
      const Lanes d2 = ex * ex + ey * ey;
      const IntLanes entries = IntLanes::all(k) + lane_offset;
      const LaneMask pass =
          (d2 > zero) & (d2 < reach2 - Lanes::load(entry_size2 + k)) & (entries < run_end);
      const unsigned kept = pass.bits();
      lists_pending = lists_pending | (pass & (IntLanes::load(&pending_[k]) == pending));
      Lanes entry = entries.as_float_bits(), unused = zero;
      transpose(ex, ey, entry, unused);
      const Lanes row[4] = {ex, ey, entry, unused};
#pragma GCC unroll 4
      for (int j = 0; j < 4; ++j) {
        row[j].store(&near[n].ex);
        n += (kept >> j) & 1;
      }
    }
  }
  p.near_count = n;
  p.waits_for = lists_pending.bits() != 0 ? last_pending_read(p) : -1;
  for (int32_t k : entries_of_[i]) {
    if (k >= 0) pending_[k] = -1;
  }
}

// The last earlier ball whose velocity and friction the prepared ball reads (one it
// repels while their headings are against each other, worked out as col does) that has
// not handed on its result, or -1.
int32_t Swarm::last_pending_read(const Prepared& p) const {
  const int32_t* entry_ball = tree_.entry_ball();
  const Own& own = own_[p.ball];
  int32_t last = -1;
  for (int32_t k = 0; k < p.near_count; ++k) {
    const Near& near = p.near.data()[k];
    if (pending_[near.entry] == 0) continue;
    const Record& o = record_of(near.entry);
    const float d = std::sqrt(near.ex * near.ex + near.ey * near.ey);
    const bool repels = d < 8 * own.size - 4 * o.size;
    const bool against = own.nvx * o.nvx + own.nvy * o.nvy < 0;
    if (repels && against) last = std::max(last, entry_ball[near.entry]);
  }
  return last;
}

void Swarm::start(int j) {
  const Prepared& ball = lanes_[j];
  reacting_ |= 1u << j;
  next_near_[j] = ball.near.data();
  left_[j] = ball.near_count;
  set_lane(j, own_[ball.ball]);
}

// `steps` neighbours for every reacting lane; idle lanes react to the idle neighbour and
// their results are dropped.
void Swarm::run_lanes(int32_t steps) {
  react::Reaction reaction{&lanes_own_, {}, steps, &record_of(0), !items_.empty()};
  std::copy(next_near_.begin(), next_near_.end(), reaction.near);
  for (unsigned r = reacting_; r != 0; r &= r - 1) {
    const int j = std::countr_zero(r);
    next_near_[j] += steps;
    left_[j] -= steps;
  }
  if (width_ == 8) {
    react::in_eight_lanes(reaction);
  } else {
    react::in_four_lanes(reaction);
  }
}

void Swarm::set_lane(int j, const Own& own) {
  react::LaneFields& f = lanes_own_;
  f.size30[j] = 30 * own.size;
  f.size8[j] = 8 * own.size;
  f.nvx[j] = own.nvx;
  f.nvy[j] = own.nvy;
  f.item[j] = own.item;
  f.vx[j] = own.vx;
  f.vy[j] = own.vy;
  f.density[j] = own.density;
  f.friction[j] = own.friction;
}

// A lane without a ball still computes, on numbers that stay tame.
void Swarm::go_idle(int j) {
  reacting_ &= ~(1u << j);
  next_near_[j] = idle_near_.data();
  set_lane(j, {0, 0, 1, 0, 0, 0, 0, 0, 1, 1});
}

// The lane's result becomes the ball's.
void Swarm::finish(int j) {
  const int32_t i = lanes_[j].ball;
  Own& own = own_[i];
  const react::LaneFields& f = lanes_own_;
  own.vx = f.vx[j];
  own.vy = f.vy[j];
  own.density = f.density[j];
  own.friction = f.friction[j];
  go_idle(j);
  finish_ball(i);
}

// A finished ball's result is handed on once every earlier ball's is.
void Swarm::finish_ball(int32_t i) {
  finished_[i] = 1;
  hand_on_results();
}

// Results go to the balls, and to the records later balls read, in list order.
void Swarm::hand_on_results() {
  for (; handed_on_ < next_ball_ && finished_[handed_on_]; ++handed_on_) {
    const Own& own = own_[handed_on_];
    ball& b = *balls_[handed_on_];
    b.vx = own.vx;
    b.vy = own.vy;
    b.density = own.density;
    b.friction = own.friction;
    for (int32_t k : entries_of_[handed_on_]) {
      if (k < 0) continue;
      Record& record = record_of(k);
      record.vx = own.vx;
      record.vy = own.vy;
      record.friction = own.friction;
      pending_[k] = 0;
    }
  }
}
