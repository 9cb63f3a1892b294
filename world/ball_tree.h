#pragma once
// The balls' quadtree as the swarm's frame uses it: the same tree that quadtree::enter
// builds over the same balls (the same splits, the same duplicates, the same strips that
// belong to no child), kept in flat arrays that are reused from frame to frame. Nodes
// sit in one pool with their rectangles; once built, each leaf's balls are one contiguous
// run of the entry arrays, and a search hands out those runs in the order in which
// quadtree::search would list the balls.

#include <cstddef>
#include <cstdint>
#include <vector>

class vec;

// Makes room for n elements ahead of need, doubling, so that the buffers of a running
// swarm stop allocating once they have seen its size. The new room is written once, so
// that its pages are already mapped when a frame first fills them.
template <class T>
void make_room(std::vector<T>& v, size_t n) {
  if (v.capacity() >= n) return;
  v.reserve(2 * n);
  const size_t size = v.size();
  v.resize(v.capacity());
  v.resize(size);
}

// Entries [begin, end) of a BallTree.
struct EntryRun {
  int32_t begin, end;
};

class BallTree {
 public:
  // Entries are read four at a time, so the arrays run this far past the last entry.
  static constexpr int32_t kPadding = 4;

  // Rebuilds the tree over balls 0 .. count - 1, entered in that order into the window:
  // ball i at (x[i], y[i]). Each entry keeps the ball's index, position and size².
  void build(const float* x, const float* y, const float* size2, int32_t count);
  // Room for a tree over `count` balls, made ahead of the frame that builds it.
  void make_room_for(int32_t count);
  // No search yields more runs than this.
  static size_t most_runs(int32_t count) { return static_cast<size_t>(count) + 1; }
  // Appends the runs of every leaf whose rectangle overlaps the box lo-hi, in the order
  // of the search, joining runs that follow each other in the entry arrays. The search
  // starts from the smallest node around the leaf of `near_entry` that holds the whole
  // box (no leaf outside that node can overlap it), or from the top without one (-1):
  // any entry gives the same runs, one in or near the box saves the most.
  void search(const vec& lo, const vec& hi, std::vector<EntryRun>& runs,
              int32_t near_entry = -1) const;

  int32_t entry_count() const { return entry_count_; }
  const int32_t* entry_ball() const { return entry_ball_.data(); }
  const float* entry_x() const { return entry_x_.data(); }
  const float* entry_y() const { return entry_y_.data(); }
  const float* entry_size2() const { return entry_size2_.data(); }

 private:
  struct Node {
    float x0, y0, x1, y1;  // the rectangle: x0 <= x < x1, y0 <= y < y1
    float half_w, half_h;  // the children's width and height
    int32_t first_child;   // four nodes in a row, -1 while a leaf
    int32_t count;         // balls entered while a leaf
    int32_t first, last;   // the leaf's chain of links, -1 while empty
  };

  int32_t new_node(float x, float y, float w, float h);
  void enter(int32_t ball);
  void append(int32_t node, int32_t ball);
  void split(int32_t node);
  int32_t child_containing(const Node& node, float px, float py) const;
  void lay_out();
  int32_t lay_out_children(const Node& node, int32_t parent);
  EntryRun lay_out_leaf(const Node& leaf, int32_t parent);
  int32_t enclosing_quad(int32_t near_entry, const vec& lo, const vec& hi) const;

  // The four children of an inner node as a search sees them, tested at once: their
  // rectangles follow from the node's corner and the children's width and height.
  struct Quad {
    float x, y, half_w, half_h;
    float x1, y1;    // the node's far edges, past its children's when its size is odd
    int32_t parent;  // the Quad of the node's parent, -1 at the top
    // Each child's own Quad, or for a leaf the complement of its run's index.
    int32_t child[4];
    unsigned occupied;  // bit j: child j is inner, or a leaf with entries
    unsigned inner;     // bit j: child j is inner
  };

  const float* x_ = nullptr;
  const float* y_ = nullptr;
  std::vector<Node> nodes_;
  // The links of the leaves' chains while building, one per time a leaf listed a ball.
  std::vector<int32_t> link_ball_, link_next_;
  // Built: the inner nodes' children from the root down, or the root's run while it is a
  // leaf.
  std::vector<Quad> quads_;
  std::vector<EntryRun> leaf_runs_;
  EntryRun root_run_{0, 0};
  int32_t entry_count_ = 0;
  std::vector<int32_t> entry_ball_;
  std::vector<int32_t> entry_quad_;  // the Quad whose child is the entry's leaf
  std::vector<float> entry_x_, entry_y_, entry_size2_;
};
