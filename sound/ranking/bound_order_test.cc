#include "sound/ranking/bound_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace sound_ranking {
namespace {

TEST(BoundOrderTest, SameSoundsInTheSameOrderAsExactBoundsSortedFirst) {
  std::mt19937 g(4);
  for (int round = 0; round < 300; ++round) {
    const uint32_t sounds = g() % 40;
    std::vector<uint32_t> exact(sounds), upper(sounds);
    for (uint32_t s = 0; s < sounds; ++s) {
      exact[s] = g() % 12;  // many ties
      upper[s] = exact[s] + (g() % 3 == 0 ? 0 : g() % 20);
    }
    // Without pruning: every exact bound, sorted, each sound taken while
    // its bound reaches a bar that only rises.
    std::vector<uint32_t> all(sounds);
    for (uint32_t s = 0; s < sounds; ++s) all[s] = s;
    std::sort(all.begin(), all.end(),
              [&](uint32_t a, uint32_t b) { return exact[a] != exact[b] ? exact[a] > exact[b] : a < b; });
    std::vector<uint32_t> bars;
    for (uint32_t i = 0, bar = 0; i <= sounds; ++i) bars.push_back(bar += g() % 3 == 0);
    std::vector<uint32_t> want;
    for (uint32_t s : all) {
      if (exact[s] < bars[want.size()]) break;
      want.push_back(s);
    }

    BoundOrder order;
    for (uint32_t s = 0; s < sounds; ++s) order.add(s, upper[s]);
    std::vector<uint32_t> got, asked(sounds, 0);
    while (const auto next = order.next(bars[got.size()], [&](uint32_t s) {
             ++asked[s];
             return exact[s];
           })) {
      EXPECT_EQ(next->second, exact[next->first]);
      got.push_back(next->first);
    }
    EXPECT_EQ(got, want);
    // Each exact bound asked for once at most, never for a sound whose upper
    // bound stays below the bar.
    for (uint32_t s = 0; s < sounds; ++s) {
      EXPECT_LE(asked[s], 1u);
      if (upper[s] < bars[0]) {
        EXPECT_EQ(asked[s], 0u);
      }
    }
  }
}

}  // namespace
}  // namespace sound_ranking
