#pragma once
// The swarm's frame, made fast. It does what ball::update is written to do (every ball
// moves and is drawn, a quadtree is built over the balls and every ball reacts to its
// neighbours with ball::col's arithmetic) and leaves every ball bit for bit as that plain
// way does. It gets there with the balls' fields copied into arrays, the flat BallTree,
// a first distance test over four neighbours at once, four or eight balls reacting side
// by side in the lanes of the vector unit, and buffers kept from frame to frame so that a
// running swarm allocates nothing.
//
// Balls react in list order, and a ball reads the velocity and friction that earlier
// balls' reactions left, but only of a neighbour it repels while their headings are
// against each other. Reactions may still run together: a ball starts only once every
// earlier ball it reads that way has handed on its result, and results are handed on in
// list order, so no ball ever sees the result of a later one.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "world/ball_tree.h"
#include "world/swarm_react.h"

struct World;
struct ball;

class Swarm {
 public:
  // Eight lanes where the processor has them, four otherwise.
  Swarm();
  // One frame; with `drawing` off the colour and draw calls are left out.
  void step(World& world, bool drawing);
  // Room in every buffer for a swarm of `balls` balls: done when balls are spawned, the
  // next frame finds it made.
  void make_room_for(size_t balls);
  // Eight lanes (where supported) or four: the results are the same either way.
  void use_wide_lanes(bool wide);
  int lane_count() const { return width_; }

 private:
  using Near = react::Near;
  using Record = react::Record;

  // A ball's own fields as they are before its reaction.
  struct Own {
    float x, y, size, nvx, nvy;
    float item;  // the item's number, 0 without an item
    float vx, vy, density, friction;
  };

  // Room for near neighbours, left as it is until written: clearing every list in full
  // would touch every page of them in a swarm's first frame.
  class NearList {
   public:
    // Room for n; what was there is dropped when it grows.
    void make_room(size_t n) {
      if (capacity_ >= n) return;
      capacity_ = 2 * n;
      at_ = std::make_unique_for_overwrite<Near[]>(capacity_);
    }
    Near* data() { return at_.get(); }
    const Near* data() const { return at_.get(); }

   private:
    std::unique_ptr<Near[]> at_;
    size_t capacity_ = 0;
  };

  // A ball's near neighbours, the entries that pass the first distance test, in order.
  struct Prepared {
    int32_t ball = -1;
    int32_t near_count = 0;
    NearList near;  // with room for four more past the last
    // The last earlier ball it reads that has not handed on its result, or -1.
    int32_t waits_for = -1;
  };

  // A ball prepared but waiting for an earlier ball's result.
  struct Waiting {
    bool used = false;
    Prepared ball;
  };

  void move_and_gather(World& world, bool drawing);
  void gather(ball& b);
  float item_number(const void* item);
  void lay_out_entries();
  void react_all();
  void fill_idle_lane(int lane);
  bool start_waiting_ball(int lane);
  void prepare(Prepared& p, int32_t i);
  void start(int lane);
  void run_lanes(int32_t steps);
  void set_lane(int lane, const Own& own);
  void finish(int lane);
  void finish_ball(int32_t i);
  void go_idle(int lane);
  void hand_on_results();
  int32_t last_pending_read(const Prepared& p) const;

  // The balls still in the list after moving, in list order, and their fields.
  std::vector<ball*> balls_;
  std::vector<float> x_, y_, size2_;
  std::vector<Own> own_;
  std::vector<const void*> items_;  // the items met this frame, numbered from 1
  BallTree tree_;
  // Records by entry of the tree, and the entries of each ball: at most two, -1 where
  // there is none.
  std::vector<Record> records_;  // the idle lanes' one first
  Record& record_of(int32_t entry) { return records_[entry + 1]; }
  const Record& record_of(int32_t entry) const { return records_[entry + 1]; }
  std::vector<std::array<int32_t, 2>> entries_of_;
  // By entry: -1 while its ball has been prepared but not handed on its result.
  std::vector<int32_t> pending_;
  std::vector<EntryRun> runs_;

  int width_ = 4;                                  // lanes in use, and as many balls may wait
  std::array<Prepared, react::kMostLanes> lanes_;  // the ball each lane reacts for
  unsigned reacting_ = 0;                          // bit j: lane j has a ball
  // By lane: the near neighbour it reacts to next (an idle lane's, the idle list), and
  // how many are left.
  std::array<const Near*, react::kMostLanes> next_near_{};
  std::array<int32_t, react::kMostLanes> left_{};
  react::LaneFields lanes_own_;
  std::array<Waiting, react::kMostLanes> waiting_;
  int waiting_count_ = 0;        // of waiting_ in use
  std::vector<Near> idle_near_;  // what idle lanes react to: entry -1, the idle record
  int32_t next_ball_ = 0;        // the next ball to prepare
  int32_t handed_on_ = 0;        // balls before this one have handed on their results
  std::vector<uint8_t> finished_;
};
