#include "sound/ranking/vote_groups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace sound_ranking {
namespace {

int64_t offset(const Vote& v) { return int64_t{v.db_frame} - int64_t{v.query_frame}; }

TEST(VoteGroupsTest, SameGroupsAsAComparisonSort) {
  std::mt19937 g(3);
  // Frames of a few seconds, of an hour (two radix passes) and at the
  // format's limit (three).
  for (uint32_t frame_range : {700u, 500000u, 0xFFFFFFFFu}) {
    for (int round = 0; round < 20; ++round) {
      const size_t sounds = 1 + g() % 12;
      std::vector<Posting> postings(g() % 3000);
      for (Posting& p : postings)  // one past the table now and then
        p = {static_cast<uint32_t>(g() % (sounds + 1)), static_cast<uint32_t>(g() % frame_range)};
      // Runs of a few postings, some empty, the last ones left out.
      std::vector<FrameRun> runs;
      std::vector<std::pair<uint32_t, Vote>> votes;
      for (size_t at = 0; at < postings.size() * 9 / 10;) {
        const FrameRun run{static_cast<uint32_t>(g() % 700), std::min(postings.size(), at + g() % 20)};
        for (; at < run.end; ++at) votes.push_back({postings[at].sound, {postings[at].frame, run.query_frame}});
        runs.push_back(run);
      }
      VoteGroups got(postings, runs, sounds);
      for (size_t s = 0; s < sounds; ++s) {
        std::vector<Vote> want;
        for (const auto& [sound, v] : votes)
          if (sound == s) want.push_back(v);
        // As found, then sorted (twice: the second time changes nothing).
        const std::vector<Vote> found(got.of(s).begin(), got.of(s).end());
        ASSERT_EQ(found.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i) {
          EXPECT_EQ(found[i].db_frame, want[i].db_frame);
          EXPECT_EQ(found[i].query_frame, want[i].query_frame);
        }
        got.sorted(s);
        std::span<const Vote> one = got.sorted(s);
        ASSERT_EQ(one.size(), want.size());
        EXPECT_TRUE(std::is_sorted(one.begin(), one.end(),
                                   [](const Vote& a, const Vote& b) { return offset(a) < offset(b); }));
        // The same votes, whatever the order among equal offsets.
        auto full = [](const Vote& a, const Vote& b) {
          return std::pair(a.db_frame, a.query_frame) < std::pair(b.db_frame, b.query_frame);
        };
        std::vector<Vote> have(one.begin(), one.end());
        std::sort(have.begin(), have.end(), full);
        std::sort(want.begin(), want.end(), full);
        for (size_t i = 0; i < want.size(); ++i) {
          EXPECT_EQ(have[i].db_frame, want[i].db_frame);
          EXPECT_EQ(have[i].query_frame, want[i].query_frame);
        }
      }
    }
  }
  VoteGroups none({}, {}, 3);
  for (size_t s = 0; s < 3; ++s) EXPECT_TRUE(none.sorted(s).empty());
}

}  // namespace
}  // namespace sound_ranking
