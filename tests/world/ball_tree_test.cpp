// The flat tree of the swarm's frame finds exactly what the quadtree finds, in the same
// order and with the same duplicates.

#include "world/ball_tree.h"

#include <vector>

#include "world_fixture.h"

namespace {

class BallTreeTest : public WorldTest {
 protected:
  // A ball at (x, y), entered into both trees in the same order.
  void Add(float x, float y) {
    balls.push_back(&Ball(x, y, 4));
    xs.push_back(x);
    ys.push_back(y);
    size2.push_back(16);
  }

  void Build() {
    plain = quadtree::Create(0, 0);
    for (ball* b : balls) plain->enter(*b, 0, 0, 700, 700);
    flat.build(xs.data(), ys.data(), size2.data(), static_cast<int32_t>(balls.size()));
  }

  // Both searches as indices of the balls found, in order.
  void ExpectSameSearch(vec lo, vec hi) {
    TList<ball*> found;
    plain->search(found, lo, hi, 0, 0, 700, 700);
    std::vector<int32_t> expected;
    for (auto link : found) {
      const auto at = std::find(balls.begin(), balls.end(), link.Value());
      expected.push_back(static_cast<int32_t>(at - balls.begin()));
    }
    // From the top, and from the leaves of an entry in the box and of any entry at all.
    for (int32_t near_entry : {-1, EntryNear((lo.x + hi.x) / 2, (lo.y + hi.y) / 2), AnyEntry()}) {
      std::vector<EntryRun> runs;
      flat.search(lo, hi, runs, near_entry);
      std::vector<int32_t> actual;
      for (const EntryRun& run : runs) {
        for (int32_t k = run.begin; k < run.end; ++k) {
          actual.push_back(flat.entry_ball()[k]);
          EXPECT_EQ(flat.entry_x()[k], xs[flat.entry_ball()[k]]);
        }
      }
      ASSERT_EQ(actual, expected) << "box " << lo.x << "," << lo.y << " - " << hi.x << "," << hi.y
                                  << " from entry " << near_entry;
    }
  }

  int32_t AnyEntry() {
    if (flat.entry_count() == 0) return -1;
    return random.RandomIntRange(0, flat.entry_count() - 1);
  }

  // The entry of the ball closest to (x, y), or -1 in an empty tree.
  int32_t EntryNear(float x, float y) const {
    int32_t nearest = -1;
    float best = 1e30f;
    for (int32_t k = 0; k < flat.entry_count(); ++k) {
      const int32_t i = flat.entry_ball()[k];
      const float d2 = (xs[i] - x) * (xs[i] - x) + (ys[i] - y) * (ys[i] - y);
      if (d2 < best) best = d2, nearest = k;
    }
    return nearest;
  }

  std::vector<ball*> balls;
  std::vector<float> xs, ys, size2;
  std::unique_ptr<quadtree> plain;
  BallTree flat;
};

TEST_F(BallTreeTest, ASingleLeafAndAnEmptyTreeAreSearchedLikeTheQuadtree) {
  Build();
  ExpectSameSearch(vec(0, 0), vec(699, 699));
  for (int i = 0; i < 10; ++i) Add(300 + i, 300);
  Add(-5, 300);  // outside: listed nowhere
  Build();
  ExpectSameSearch(vec(0, 0), vec(699, 699));
  ExpectSameSearch(vec(310, 0), vec(699, 699));
}

TEST_F(BallTreeTest, SplitsStripsDuplicatesAndEdgesMatchTheQuadtree) {
  // Dense clusters split deep; balls on the halving lines, in the strips that belong to
  // no child of an odd-sized node, exactly on cell corners, and outside the window.
  for (int i = 0; i < 2500; ++i) {
    const float x = static_cast<float>(random.RandomRange(-5, 705));
    const float y = static_cast<float>(random.RandomRange(-5, 705));
    switch (i % 6) {
      case 0:
        Add(static_cast<float>(static_cast<int>(x)), static_cast<float>(static_cast<int>(y)));
        break;
      case 1:
        Add(350 + static_cast<float>(i % 3), y);
        break;
      case 2:
        Add(174.5f + static_cast<float>(i % 2) * 0.25f, 87.0f + (y - 350) / 100);
        break;
      case 3:
        Add(40 + (x - 350) / 50, 600 + (y - 350) / 50);
        break;
      default:
        Add(x, y);
    }
  }
  Build();
  for (int i = 0; i < 400; ++i) {
    const float x = static_cast<float>(random.RandomRange(-50, 750));
    const float y = static_cast<float>(random.RandomRange(-50, 750));
    const float reach = static_cast<float>(random.RandomRange(0, 40));
    // Some boxes have whole-number edges that just touch leaves.
    const float lx = i % 3 == 0 ? static_cast<float>(static_cast<int>(x)) : x - reach;
    const float ly = i % 3 == 0 ? static_cast<float>(static_cast<int>(y)) : y - reach;
    ExpectSameSearch(vec(lx, ly), vec(x + reach, y + reach));
  }
}

}  // namespace
