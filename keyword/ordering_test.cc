#include "keyword/ordering.h"

#include <climits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace keyword {
namespace {

struct Pairs {
  std::vector<int> counts, ids;
};

Pairs ordered(Pairs p) {
  tricroissant(p.counts.data(), p.ids.data(), static_cast<int>(p.counts.size()));
  return p;
}

TEST(Tricroissant, OrdersByAscendingCountWithTheExchangeTieOrder) {
  Pairs p = ordered({{1, 3, 2}, {7, 8, 9}});
  EXPECT_EQ(p.counts, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(p.ids, (std::vector<int>{7, 9, 8}));

  p = ordered({{2, 5, 3}, {4, 9, 1}});
  EXPECT_EQ(p.counts, (std::vector<int>{2, 3, 5}));
  EXPECT_EQ(p.ids, (std::vector<int>{4, 1, 9}));

  // Equal counts: no exchange, only the final rotation.
  p = ordered({{3, 3, 3}, {10, 11, 12}});
  EXPECT_EQ(p.ids, (std::vector<int>{11, 12, 10}));
  p = ordered({{3, 3}, {10, 11}});
  EXPECT_EQ(p.ids, (std::vector<int>{11, 10}));

  p = ordered({{2, 2, 1}, {10, 11, 12}});
  EXPECT_EQ(p.counts, (std::vector<int>{1, 2, 2}));
  EXPECT_EQ(p.ids, (std::vector<int>{12, 11, 10}));

  p = ordered({{1, 2, 2}, {10, 11, 12}});
  EXPECT_EQ(p.counts, (std::vector<int>{1, 2, 2}));
  EXPECT_EQ(p.ids, (std::vector<int>{10, 12, 11}));

  p = ordered({{}, {}});
  EXPECT_TRUE(p.ids.empty());
  p = ordered({{5}, {1}});
  EXPECT_EQ(p.ids, (std::vector<int>{1}));
}

// The run-based ordering must give the very permutation of the exchanges,
// ties included, whatever the mix of equal and distinct counts.
TEST(Tricroissant, RunBasedOrderingMatchesTheExchangesExactly) {
  std::mt19937 rng(12345);
  const std::vector<std::pair<int, int>> ranges = {
      {1, 1}, {1, 2}, {1, 3}, {1, 10}, {0, 1000000}, {INT_MIN, INT_MAX}};
  for (int n = 0; n <= 64; ++n) {
    for (const auto& [lo, hi] : ranges) {
      for (int round = 0; round < 20; ++round) {
        std::uniform_int_distribution<int> value(lo, hi);
        Pairs a;
        for (int i = 0; i < n; ++i) {
          a.counts.push_back(value(rng));
          a.ids.push_back(i + 1);
        }
        Pairs b = a;
        ordering::by_exchanges(a.counts.data(), a.ids.data(), n);
        ordering::by_runs(b.counts.data(), b.ids.data(), n);
        ASSERT_EQ(a.ids, b.ids) << "n=" << n << " range " << lo << ".." << hi;
        ASSERT_EQ(a.counts, b.counts);
      }
    }
  }
}

TEST(Tricroissant, LargeInputsTakeTheRunBasedPathWithTheSameResult) {
  std::mt19937 rng(7);
  for (int hi : {2, 5, 50}) {
    const int n = ordering::kExchangeLimit + 500;
    std::uniform_int_distribution<int> value(1, hi);
    Pairs a;
    for (int i = 0; i < n; ++i) {
      a.counts.push_back(value(rng));
      a.ids.push_back(i + 1);
    }
    Pairs expected = a;
    ordering::by_exchanges(expected.counts.data(), expected.ids.data(), n);
    const Pairs got = ordered(a);
    EXPECT_EQ(got.ids, expected.ids) << "counts 1.." << hi;
  }
}

}  // namespace
}  // namespace keyword
