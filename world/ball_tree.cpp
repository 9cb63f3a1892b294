#include "world/ball_tree.h"

#include <array>
#include <bit>

#include "world/hot_path.h"
#include "world/lanes.h"
#include "world/vec.h"
#include "world/world.h"

namespace {

// Halves of a node's width and height, taken from the truncated sizes.
float half_of(float size) {
  return static_cast<float>(static_cast<int32_t>(size) >> 1);
}

// Children in the order 0 to 3: right top, left top, left bottom, right bottom.
constexpr std::array<std::array<int, 2>, 4> kQuadrant = {{{1, 0}, {0, 0}, {0, 1}, {1, 1}}};

// The child a point falls toward by the halving lines alone.
int quadrant(bool right, bool bottom) {
  if (right) return bottom ? 3 : 0;
  return bottom ? 2 : 1;
}

// Runs that follow each other in the entry arrays are joined, so the first distance test
// goes through long stretches.
void add_run(std::vector<EntryRun>& runs, EntryRun run) {
  if (!runs.empty() && runs.back().end == run.begin) {
    runs.back().end = run.end;
  } else {
    runs.push_back(run);
  }
}

// The rectangles of the children of the node at (x, y) whose children are w by h, in
// order: right top, left top, left bottom, right bottom. Every corner is a whole number
// below 1024, so these sums are exact.
struct Children {
  Lanes x0, y0, x1, y1;
  Children(float x, float y, float w, float h) {
    const Lanes width = Lanes::all(w), height = Lanes::all(h);
    x0 = Lanes::all(x) + width * Lanes::of(1, 0, 0, 1);
    y0 = Lanes::all(y) + height * Lanes::of(0, 0, 1, 1);
    x1 = x0 + width;
    y1 = y0 + height;
  }
};

}  // namespace

SWARM_HOT_PATH void BallTree::build(const float* x, const float* y, const float* size2,
                                    int32_t count) {
  x_ = x;
  y_ = y;
  make_room_for(count);
  nodes_.clear();
  link_ball_.clear();
  link_next_.clear();
  new_node(0, 0, World::screen_width, World::screen_height);
  for (int32_t ball = 0; ball < count; ++ball) enter(ball);
  lay_out();
  for (int32_t k = 0; k < entry_count_; ++k) {
    const int32_t ball = entry_ball_[k];
    entry_x_[k] = x[ball];
    entry_y_[k] = y[ball];
    entry_size2_[k] = size2[ball];
  }
}

void BallTree::make_room_for(int32_t count) {
  // A leaf splits at its eleventh entered ball, and an entered ball counts in at most two
  // leaves: at most 2 count / 11 splits, each making four nodes and one more link.
  const size_t n = static_cast<size_t>(count);
  for (auto* v : {&link_ball_, &link_next_, &entry_ball_, &entry_quad_})
    make_room(*v, 2 * n + kPadding);
  for (auto* v : {&entry_x_, &entry_y_, &entry_size2_}) make_room(*v, 2 * n + kPadding);
  make_room(nodes_, n + 1);
  make_room(quads_, n + 1);
  make_room(leaf_runs_, n + 1);
}

int32_t BallTree::new_node(float x, float y, float w, float h) {
  // Rectangle edges are whole numbers below 1024, so every sum here is exact.
  nodes_.push_back({x, y, x + w, y + h, half_of(w), half_of(h), -1, 0, -1, -1});
  return static_cast<int32_t>(nodes_.size()) - 1;
}

// Nodes' rectangles never overlap their siblings', so the ball goes straight down to the
// one child that contains it; only there is it listed.
SWARM_HOT_PATH void BallTree::enter(int32_t ball) {
  const float px = x_[ball], py = y_[ball];
  int32_t at = 0;
  while (nodes_[at].first_child >= 0) {
    at = child_containing(nodes_[at], px, py);
    if (at < 0) return;
  }
  const Node& leaf = nodes_[at];
  if (!(leaf.x0 <= px && px < leaf.x1 && leaf.y0 <= py && py < leaf.y1)) return;
  append(at, ball);
  if (++nodes_[at].count <= 10) return;
  split(at);
  const int32_t child = child_containing(nodes_[at], px, py);
  if (child < 0) return;
  append(child, ball);
  ++nodes_[child].count;
}

// The child whose rectangle contains the point, or -1 (outside the node, or in the last
// column or row of an odd-sized node).
int32_t BallTree::child_containing(const Node& node, float px, float py) const {
  const int32_t child =
      node.first_child + quadrant(px >= node.x0 + node.half_w, py >= node.y0 + node.half_h);
  const Node& c = nodes_[child];
  return c.x0 <= px && px < c.x1 && c.y0 <= py && py < c.y1 ? child : -1;
}

void BallTree::append(int32_t node, int32_t ball) {
  const int32_t link = static_cast<int32_t>(link_ball_.size());
  link_ball_.push_back(ball);
  link_next_.push_back(-1);
  Node& n = nodes_[node];
  (n.last >= 0 ? link_next_[n.last] : n.first) = link;
  n.last = link;
}

// The leaf's balls move down by the halving lines alone, without the children's
// containment test or count: a ball in the strip that belongs to no child still lands
// in a right-hand or bottom child.
void BallTree::split(int32_t node) {
  const Node parent = nodes_[node];
  const int32_t first_child = static_cast<int32_t>(nodes_.size());
  for (const auto& [right, bottom] : kQuadrant) {
    new_node(parent.x0 + right * parent.half_w, parent.y0 + bottom * parent.half_h, parent.half_w,
             parent.half_h);
  }
  const float mid_x = parent.x0 + parent.half_w, mid_y = parent.y0 + parent.half_h;
  for (int32_t link = parent.first; link >= 0;) {
    const int32_t next = link_next_[link];
    const int32_t ball = link_ball_[link];
    Node& child = nodes_[first_child + quadrant(x_[ball] >= mid_x, y_[ball] >= mid_y)];
    link_next_[link] = -1;
    (child.last >= 0 ? link_next_[child.last] : child.first) = link;
    child.last = link;
    link = next;
  }
  Node& n = nodes_[node];
  n.first_child = first_child;
  n.first = n.last = -1;
}

// Leaves are laid out in the order a search visits them, so the runs of neighbouring
// leaves often join into one.
void BallTree::lay_out() {
  const size_t links = link_ball_.size() + kPadding;
  if (entry_ball_.size() < links) {
    entry_ball_.resize(links);
    entry_quad_.resize(links);
    entry_x_.resize(links);
    entry_y_.resize(links);
    entry_size2_.resize(links);
  }
  entry_count_ = 0;
  quads_.clear();
  leaf_runs_.clear();
  const Node& root = nodes_[0];
  root_run_ = root.first_child >= 0 ? EntryRun{0, 0} : lay_out_leaf(root, -1);
  if (root.first_child >= 0) lay_out_children(root, -1);
}

int32_t BallTree::lay_out_children(const Node& node, int32_t parent) {
  const int32_t at = static_cast<int32_t>(quads_.size());
  quads_.push_back(
      {node.x0, node.y0, node.half_w, node.half_h, node.x1, node.y1, parent, {}, 0, 0});
  for (int32_t j = 0; j < 4; ++j) {
    const Node& child = nodes_[node.first_child + j];
    int32_t below;
    bool occupied = true;
    if (child.first_child >= 0) {
      below = lay_out_children(child, at);
    } else {
      below = ~static_cast<int32_t>(leaf_runs_.size());
      leaf_runs_.push_back(lay_out_leaf(child, at));
      // Empty leaves have nothing to give a search.
      occupied = leaf_runs_.back().begin != leaf_runs_.back().end;
    }
    quads_[at].child[j] = below;
    quads_[at].occupied |= static_cast<unsigned>(occupied) << j;
    quads_[at].inner |= static_cast<unsigned>(child.first_child >= 0) << j;
  }
  return at;
}

EntryRun BallTree::lay_out_leaf(const Node& leaf, int32_t parent) {
  const int32_t begin = entry_count_;
  for (int32_t link = leaf.first; link >= 0; link = link_next_[link]) {
    entry_quad_[entry_count_] = parent;
    entry_ball_[entry_count_++] = link_ball_[link];
  }
  return {begin, entry_count_};
}

// Rectangles of nodes that are neither inside a node nor around it lie apart from it: when
// the box lies within the node, no such rectangle passes the overlap test.
SWARM_HOT_PATH int32_t BallTree::enclosing_quad(int32_t near_entry, const vec& lo,
                                                const vec& hi) const {
  int32_t at = near_entry >= 0 ? entry_quad_[near_entry] : 0;
  while (at > 0) {
    const Quad& quad = quads_[at];
    if (quad.x <= lo.x && hi.x <= quad.x1 && quad.y <= lo.y && hi.y <= quad.y1) return at;
    at = quad.parent;
  }
  return 0;
}

SWARM_HOT_PATH void BallTree::search(const vec& lo, const vec& hi, std::vector<EntryRun>& runs,
                                     int32_t near_entry) const {
  const Node& root = nodes_[0];
  if (root.first_child < 0) {
    const bool overlaps = root.x1 > lo.x && root.y1 > lo.y && root.y0 < hi.y && root.x0 < hi.x;
    if (overlaps && root_run_.begin != root_run_.end) runs.push_back(root_run_);
    return;
  }
  const Lanes lo_x = Lanes::all(lo.x), lo_y = Lanes::all(lo.y);
  const Lanes hi_x = Lanes::all(hi.x), hi_y = Lanes::all(hi.y);
  // Depth first, children in order: the stack holds what is still to visit, the next
  // on top; inner children as their Quad, leaves as the complement of their run.
  std::array<int32_t, 64> stack;
  int32_t depth = 0;
  stack[depth++] = enclosing_quad(near_entry, lo, hi);
  while (depth > 0) {
    const int32_t at = stack[--depth];
    if (at < 0) {
      add_run(runs, leaf_runs_[~at]);
      continue;
    }
    // A child is visited when its rectangle overlaps the box: x1 > lo.x, y1 > lo.y,
    // y0 < hi.y and x0 < hi.x, all strict.
    const Quad& quad = quads_[at];
    const Children c(quad.x, quad.y, quad.half_w, quad.half_h);
    const LaneMask overlap = (c.x1 > lo_x) & (c.y1 > lo_y) & (c.y0 < hi_y) & (c.x0 < hi_x);
    const unsigned visit = overlap.bits() & quad.occupied;
    // Near the bottom of the tree every child to visit is often a leaf: their runs follow
    // at once, in order.
    if ((visit & quad.inner) == 0) {
      for (unsigned bits = visit; bits != 0; bits &= bits - 1) {
        add_run(runs, leaf_runs_[~quad.child[std::countr_zero(bits)]]);
      }
      continue;
    }
    // Every child is written and only those that count are kept: no branch to mispredict.
#pragma GCC unroll 4
    for (int j = 3; j >= 0; --j) {
      stack[depth] = quad.child[j];
      depth += (visit >> j) & 1;
    }
  }
}
