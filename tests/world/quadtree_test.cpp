// The balls' quadtree: splitting, the strips no child covers, searching and reading.

#include <vector>

#include "world_fixture.h"

namespace {

class QuadtreeTest : public WorldTest {
 protected:
  ball& Enter(quadtree& tree, float x, float y, float side = 700) {
    ball& b = Ball(x, y, 4);
    tree.enter(b, 0, 0, side, side);
    return b;
  }
  static std::vector<ball*> Balls(TList<ball*>& list) {
    std::vector<ball*> found;
    for (auto link : list) found.push_back(link.Value());
    return found;
  }
  std::vector<ball*> SearchAll(quadtree& tree, float side = 700) {
    TList<ball*> out;
    tree.search(out, vec(0, 0), vec(side, side), 0, 0, side, side);
    return Balls(out);
  }
};

TEST_F(QuadtreeTest, TheEleventhBallSplitsALeafAndIsListedTwice) {
  auto root = quadtree::Create(0, 0);
  std::vector<ball*> entered;
  for (int i = 0; i < 10; ++i) entered.push_back(&Enter(*root, 100 + 50 * i, 100 + 50 * i));
  EXPECT_EQ(root->count, 10);
  EXPECT_EQ(root->list->Count(), 10);
  ball& eleventh = Enter(*root, 600, 100);  // right top
  EXPECT_EQ(root->leaf, 0);
  EXPECT_TRUE(root->list->IsEmpty());
  quadtree& right_top = *root->sub[0];
  EXPECT_EQ(right_top.count, 1);
  EXPECT_EQ(right_top.gen, 1);
  EXPECT_EQ(Balls(*right_top.list), std::vector<ball*>({&eleventh, &eleventh}));
  EXPECT_EQ(root->sub[1]->list->Count(), 5);  // 100..300 lie left top
  EXPECT_EQ(root->sub[3]->list->Count(), 5);  // 400..550 and 350 right bottom
  EXPECT_EQ(root->sub[2]->list->Count(), 0);
  EXPECT_EQ(SearchAll(*root).size(), 12u);
}

TEST_F(QuadtreeTest, BallsOutsideTheWindowOrInAStripNoChildCoversAreStoredNowhere) {
  auto root = quadtree::Create(0, 0);
  Enter(*root, -1, 100);
  Enter(*root, 100, 700);
  EXPECT_EQ(root->count, 0);
  // A node 175 wide splits into children 87 wide: x from 174 to 175 belongs to none.
  auto node = quadtree::Create(0, 0);
  ball& moved_down = Enter(*node, 174.5f, 10, 175);
  for (int i = 0; i < 10; ++i) Enter(*node, 10.0f + i, 10, 175);
  EXPECT_EQ(Balls(*node->sub[0]->list), std::vector<ball*>({&moved_down}));
  ball& late = Enter(*node, 174.5f, 20, 175);
  for (const auto& child : node->sub) {
    for (ball* b : Balls(*child->list)) EXPECT_NE(b, &late);
  }
  vec in_strip(174.5f, 20);
  EXPECT_EQ(node->read(in_strip, 0, 0, 175, 175), nullptr);
  vec right(100, 20);
  EXPECT_EQ(node->read(right, 0, 0, 175, 175), node->sub[0]->list.get());
}

TEST_F(QuadtreeTest, ASearchBoxThatOnlyTouchesALeafDoesNotVisitIt) {
  auto root = quadtree::Create(0, 0);
  for (int i = 0; i < 11; ++i) Enter(*root, 10.0f + i, 10);  // all in the left top
  Enter(*root, 400, 10);                                     // right top
  TList<ball*> out;
  root->search(out, vec(350, 0), vec(360, 10), 0, 0, 700, 700);
  EXPECT_EQ(Balls(out).size(), 1u);
  out.Clear();
  root->search(out, vec(340, 0), vec(350, 10), 0, 0, 700, 700);  // hi.x = 350: left only
  EXPECT_EQ(Balls(out).size(), 12u);
  root->clear();
  EXPECT_TRUE(SearchAll(*root).empty());
  EXPECT_EQ(root->leaf, 0);  // the shape stays
}

// Entering as first written: a split node enters the ball into all four children, and
// only leaves test whether they contain it.
void enter_visiting_every_node(quadtree& node, ball& b, float x, float y, float w, float h) {
  const float hw = float(int(w) >> 1), hh = float(int(h) >> 1);
  const float rects[4][2] = {{x + hw, y}, {x, y}, {x, y + hh}, {x + hw, y + hh}};
  if (!node.leaf) {
    for (int i = 0; i < 4; ++i)
      enter_visiting_every_node(*node.sub[i], b, rects[i][0], rects[i][1], hw, hh);
    return;
  }
  if (!(x <= b.x && b.x < x + w && y <= b.y && b.y < y + h)) return;
  node.list->AddLast(&b);
  if (++node.count <= 10) return;
  for (int i = 0; i < 4; ++i) node.sub[i] = quadtree::Create(i, node.gen + 1);
  for (auto link : *node.list) {
    ball* o = link.Value();
    const int child = o->x >= x + hw ? (o->y >= y + hh ? 3 : 0) : (o->y >= y + hh ? 2 : 1);
    node.sub[child]->list->AddLast(o);
  }
  node.list->Clear();
  node.leaf = 0;
  for (int i = 0; i < 4; ++i)
    enter_visiting_every_node(*node.sub[i], b, rects[i][0], rects[i][1], hw, hh);
}

TEST_F(QuadtreeTest, GoingStraightToTheChildBuildsTheSameTreeAsVisitingEveryNode) {
  auto direct = quadtree::Create(0, 0), visiting = quadtree::Create(0, 0);
  for (int i = 0; i < 3000; ++i) {
    // Clusters, points on the halving lines and in the strips, a few outside.
    const float x = float(random.RandomRange(-5, 705)), y = float(random.RandomRange(-5, 705));
    ball& b = Ball(i % 7 == 0 ? float(int(x)) : x, i % 5 == 0 ? 350 + float(i % 3) : y, 4);
    direct->enter(b, 0, 0, 700, 700);
    enter_visiting_every_node(*visiting, b, 0, 0, 700, 700);
  }
  EXPECT_EQ(SearchAll(*direct), SearchAll(*visiting));
}

}  // namespace
