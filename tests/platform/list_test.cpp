#include "platform/list.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using IntList = TList<std::shared_ptr<int>>;

std::vector<int> Values(IntList& list) {
  std::vector<int> values;
  for (auto link : list) values.push_back(*link.Value());
  return values;
}

void Fill(IntList& list, std::initializer_list<int> values) {
  for (int value : values) list.AddLast(std::make_shared<int>(value));
}

TEST(List, KeepsAppendOrderAndCount) {
  IntList list;
  Fill(list, {3, 1, 2});
  EXPECT_EQ(Values(list), (std::vector<int>{3, 1, 2}));
  EXPECT_EQ(list.Count(), 3);
}

TEST(List, RemovingTheCurrentElementDuringAWalkContinuesWithTheNext) {
  IntList list;
  Fill(list, {1, 2, 3, 4});
  std::vector<int> seen;
  for (auto link : list) {
    seen.push_back(*link.Value());
    if (*link.Value() % 2 == 0) link.Remove();
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(Values(list), (std::vector<int>{1, 3}));
  EXPECT_EQ(list.Count(), 2);
}

TEST(List, AnElementRemovedAheadOfTheWalkIsNotVisited) {
  IntList list;
  std::vector<IntList::TLink> links;
  for (int value : {1, 2, 3}) links.push_back(list.AddLast(std::make_shared<int>(value)));
  std::vector<int> seen;
  for (auto link : list) {
    seen.push_back(*link.Value());
    if (*link.Value() == 1) {
      links[1].Remove();
      links[0].Remove();
    }
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 3}));
}

TEST(List, ElementsAppendedDuringAWalkAreVisited) {
  IntList list;
  Fill(list, {1});
  std::vector<int> seen;
  for (auto link : list) {
    seen.push_back(*link.Value());
    if (*link.Value() < 3) list.AddLast(std::make_shared<int>(*link.Value() + 1));
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
}

TEST(List, AStaleLinkRemovesNothingAfterItsNodeIsReused) {
  IntList list;
  auto first = list.AddLast(std::make_shared<int>(1));
  first.Remove();
  first.Remove();
  list.AddLast(std::make_shared<int>(2));  // reuses the node of 1
  first.Remove();
  EXPECT_FALSE(first.Linked());
  EXPECT_EQ(Values(list), (std::vector<int>{2}));
}

TEST(List, ClearReleasesTheObjectsAndEmptiesTheList) {
  IntList list;
  auto value = std::make_shared<int>(7);
  list.AddLast(value);
  list.AddLast(value);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(Values(list), std::vector<int>{});
  EXPECT_EQ(value.use_count(), 1);
}

TEST(List, ClearDuringAWalkEndsTheWalk) {
  IntList list;
  Fill(list, {1, 2, 3});
  std::vector<int> seen;
  for (auto link : list) {
    seen.push_back(*link.Value());
    list.Clear();
  }
  EXPECT_EQ(seen, (std::vector<int>{1}));
  EXPECT_TRUE(list.IsEmpty());
}

TEST(List, AnObjectRemovedDuringAWalkLivesUntilTheWalkEnds) {
  IntList list;
  std::weak_ptr<int> watched;
  {
    auto value = std::make_shared<int>(5);
    watched = value;
    list.AddLast(std::move(value));
  }
  for (auto link : list) {
    link.Remove();
    EXPECT_FALSE(watched.expired());
  }
  EXPECT_TRUE(watched.expired());
}

TEST(List, SortIsStableByTheComparison) {
  IntList list;
  auto a = std::make_shared<int>(500), b = std::make_shared<int>(0), c = std::make_shared<int>(250),
       d = std::make_shared<int>(0);
  for (auto& value : {a, b, c, d}) list.AddLast(value);
  list.Sort([](const std::shared_ptr<int>& x, const std::shared_ptr<int>& y) { return *x - *y; });
  std::vector<int*> order;
  for (auto link : list) order.push_back(link.Value().get());
  EXPECT_EQ(order, (std::vector<int*>{b.get(), d.get(), c.get(), a.get()}));
  EXPECT_EQ(*list.LastLink().Value(), 500);
  list.AddLast(std::make_shared<int>(1));
  EXPECT_EQ(Values(list).back(), 1);
}

TEST(List, ThousandsOfAppendsAndRemovalsReuseTheirLinks) {
  IntList list;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 10000; ++i) list.AddLast(std::make_shared<int>(i));
    EXPECT_EQ(list.Count(), 10000);
    int kept = 0;
    for (auto link : list) {
      if (*link.Value() % 3 == 0) {
        ++kept;
        continue;
      }
      link.Remove();
    }
    EXPECT_EQ(list.Count(), kept);
    list.Clear();
  }
}

}  // namespace
