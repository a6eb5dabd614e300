#include "sound/ranking/rank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <set>
#include <vector>

#include "sound/ranking/describe.h"
#include "sound/ranking/landmarks.h"
#include "sound/ranking/vote.h"
#include "sound/ranking/test_melody.h"

namespace sound_ranking {
namespace {

TEST(VoteTest, BestOffsetAmongRandomVotes) {
  std::mt19937 g(6);
  std::vector<Vote> votes;
  // Noise: offsets of 800 or more.
  for (int i = 0; i < 300; ++i)
    votes.push_back({static_cast<uint32_t>(1100 + g() % 2000), static_cast<uint32_t>(g() % 300)});
  for (uint32_t q = 0; q < 300; q += 10) votes.push_back({700 + q + (q % 20 == 0), q});
  const Alignment a = align(votes, 0, 1e9);
  EXPECT_EQ(a.votes, 30u);
  EXPECT_NEAR(a.offset, 700.5, 0.6);
  EXPECT_EQ(a.speed, 1.0);
}

TEST(VoteTest, SpeedChangeStillAligns) {
  // The query plays 3 % faster: sound frame = 500 + 1.03 * query frame.
  std::vector<Vote> votes;
  for (uint32_t q = 0; q < 375; q += 5)
    votes.push_back({static_cast<uint32_t>(std::lround(500 + 1.03 * q)), q});
  const Alignment a = align(votes, 0, 1e9);
  EXPECT_EQ(a.votes, votes.size());
  EXPECT_EQ(a.speed, 1.03);
  EXPECT_NEAR(a.offset, 500, 1);
}

TEST(VoteTest, FramesCountOnceAndTiesPreferAnOffsetInside) {
  // Many votes of one query frame weigh as one frame.
  std::vector<Vote> votes;
  for (int i = 0; i < 10; ++i) votes.push_back({100, 7});
  for (uint32_t q = 0; q < 3; ++q) votes.push_back({300 + q * 10, q * 10});
  EXPECT_EQ(align(votes, 0, 1e9).votes, 3u);
  EXPECT_NEAR(align(votes, 0, 1e9).offset, 300, 1e-9);
  // Repeated material: the same frames align at 50 and 250; 250 is the
  // only place where the whole query fits.
  votes.clear();
  for (uint32_t q = 0; q < 5; ++q) {
    votes.push_back({50 + q * 7, q * 7});
    votes.push_back({250 + q * 7, q * 7});
  }
  EXPECT_NEAR(align(votes, 100, 400).offset, 250, 1e-9);
  EXPECT_NEAR(align(votes, 0, 400).offset, 50, 1e-9);
  EXPECT_EQ(align({}, 0, 1).votes, 0u);
}

TEST(VoteTest, BoundAndNeededFramesAgreeWithTheFullAlignment) {
  std::mt19937 g(8);
  for (int round = 0; round < 200; ++round) {
    std::vector<Vote> votes;
    const uint32_t q_len = 1 + g() % 400;
    const uint32_t start = 100 + g() % 100;
    const double speed = kSpeeds[g() % std::size(kSpeeds)];
    for (uint32_t n = g() % 60; n > 0; --n) {
      const uint32_t q = g() % q_len;
      // Half aligned at some speed, half anywhere.
      const uint32_t db = g() % 2 ? static_cast<uint32_t>(std::lround(start + speed * q)) : static_cast<uint32_t>(g() % 900);
      votes.push_back({db, q});
    }
    const Alignment full = align(votes, -1e9, 1e9);
    EXPECT_GE(align_bound(votes), full.votes);
    // Asking for `needed` frames changes nothing above it, and gives nothing
    // below.
    const uint32_t needed = 1 + g() % 8;
    const Alignment part = align(votes, -1e9, 1e9, needed);
    if (full.votes >= needed) {
      EXPECT_EQ(part.votes, full.votes);
      EXPECT_NEAR(part.offset, full.offset, 1e-6);
      EXPECT_EQ(part.speed, full.speed);
    } else {
      EXPECT_EQ(part.votes, 0u);
    }
  }
}

TEST(VoteTest, NearBestListsThePlacesTheCallerMayCheck) {
  // The same five frames align at 50, 250 and 450; three of them at 650.
  std::vector<Vote> votes;
  for (uint32_t q = 0; q < 5; ++q)
    for (uint32_t at : {50u, 250u, 450u, 650u})
      if (at != 650 || q > 1) votes.push_back({at + q * 7, q * 7});
  const NearBest all = near_best(votes, 0, 1e9, 1, 0.6, 100);
  EXPECT_EQ(all.votes, 5u);
  ASSERT_EQ(all.windows.size(), 4u);  // one per place, whatever the speed
  // align()'s choice first, then the other near ones, then the weaker.
  EXPECT_NEAR(all.windows[0].offset, align(votes, 0, 1e9).offset, 1e-9);
  EXPECT_EQ(all.windows[3].votes, 3u);
  EXPECT_NEAR(all.windows[3].offset, 650, 1e-9);
  EXPECT_EQ(near_best(votes, 0, 1e9, 1, 0.9, 100).windows.size(), 3u);
  EXPECT_EQ(near_best(votes, 0, 1e9, 1, 0.6, 2).windows.size(), 2u);
  EXPECT_TRUE(near_best(votes, 0, 1e9, 6, 0.6, 100).windows.empty());
  EXPECT_EQ(near_best(votes, 0, 1e9, 6, 0.6, 100).votes, 0u);
}

// The best support by brute force: at each speed, the query frames voting
// within kAlignWidth frames below each vote's offset.
uint32_t most_by_brute_force(const std::vector<Vote>& votes) {
  uint32_t most = 0;
  for (double speed : kSpeeds)
    for (const Vote& end : votes) {
      const double to = end.db_frame - speed * end.query_frame;
      std::set<uint32_t> frames;
      for (const Vote& v : votes) {
        const double at = v.db_frame - speed * v.query_frame;
        if (at <= to && to - at <= kAlignWidth) frames.insert(v.query_frame);
      }
      most = std::max<uint32_t>(most, static_cast<uint32_t>(frames.size()));
    }
  return most;
}

TEST(VoteTest, AlignerGivesEachCallTheResultOfAFreshOne) {
  // One aligner over votes of varied lengths, sorted by offset or not,
  // as the ranking uses it across sounds: no call sees the previous one.
  std::mt19937 g(12);
  Aligner aligner;
  for (int round = 0; round < 150; ++round) {
    std::vector<Vote> votes;
    const uint32_t q_len = 1 + g() % (round % 3 == 0 ? 40 : 500);
    const uint32_t start = g() % 300;
    const double speed = kSpeeds[g() % std::size(kSpeeds)];
    for (uint32_t n = g() % 80; n > 0; --n) {
      const uint32_t q = g() % q_len;
      const uint32_t db = g() % 3 ? static_cast<uint32_t>(std::lround(start + speed * q)) : g() % 900;
      votes.push_back({db, q});
    }
    if (round % 2)
      std::sort(votes.begin(), votes.end(), [](const Vote& a, const Vote& b) {
        return int64_t{a.db_frame} - a.query_frame < int64_t{b.db_frame} - b.query_frame;
      });
    const uint32_t needed = 1 + g() % 6;
    EXPECT_EQ(aligner.bound(votes), align_bound(votes));
    const NearBest got = aligner.near_best(votes, 10, 400, needed, 0.6, 1 + g() % 30);
    const NearBest want = Aligner().near_best(votes, 10, 400, needed, 0.6, 30);
    EXPECT_EQ(got.votes, want.votes);
    ASSERT_LE(got.windows.size(), want.windows.size());
    for (size_t i = 0; i < got.windows.size(); ++i) {
      EXPECT_EQ(got.windows[i].votes, want.windows[i].votes);
      EXPECT_EQ(got.windows[i].offset, want.windows[i].offset);  // to the last bit
      EXPECT_EQ(got.windows[i].speed, want.windows[i].speed);
      EXPECT_EQ(got.windows[i].all_votes, want.windows[i].all_votes);
    }
    const uint32_t most = most_by_brute_force(votes);
    EXPECT_EQ(align(votes, -1e9, 1e9).votes, most);
    EXPECT_EQ(got.votes, most >= needed ? most : 0);
  }
}

TEST(VoteTest, LongQueriesAlignAsByBruteForce) {
  // Offsets move by up to 200 frames from one speed to the next: the
  // nearly sorted order of the previous speed is far from sorted.
  std::mt19937 g(21);
  for (int round = 0; round < 3; ++round) {
    std::vector<Vote> votes;
    for (int n = 0; n < 1500; ++n) {  // offsets within 300 frames at speed 1
      const auto q = static_cast<uint32_t>(g() % 20000);
      votes.push_back({static_cast<uint32_t>(q + 20000 + g() % 300), q});
    }
    EXPECT_EQ(align(votes, -1e9, 1e9).votes, most_by_brute_force(votes));
  }
}

TEST(VoteTest, CoarseBoundIsAboveTheBoundAndCloseWhenFramesComeTogether) {
  std::mt19937 g(15);
  Aligner aligner;
  for (int round = 0; round < 300; ++round) {
    std::vector<Vote> votes;
    const uint32_t q_len = 1 + g() % (round % 4 == 0 ? 30 : 800);
    const uint32_t spread = round % 5 == 0 ? 4000000 : 3000;  // a long sound now and then
    const double speed = kSpeeds[g() % std::size(kSpeeds)];
    const uint32_t start = g() % 2000;
    for (uint32_t n = g() % 400; n > 0; --n) {
      const uint32_t q = g() % q_len;
      const uint32_t db = g() % 2 ? static_cast<uint32_t>(std::lround(start + speed * q)) : g() % spread;
      for (uint32_t k = g() % 3; k-- > 0;) votes.push_back({db + k, q});  // neighbours from one frame
    }
    // As found (grouped by query frame), then in any order.
    std::stable_sort(votes.begin(), votes.end(),
                     [](const Vote& a, const Vote& b) { return a.query_frame < b.query_frame; });
    const uint32_t bound = align_bound(votes);
    EXPECT_GE(aligner.coarse_bound(votes), bound);
    std::shuffle(votes.begin(), votes.end(), g);
    EXPECT_GE(aligner.coarse_bound(votes), bound);
  }
  // One vote per frame at one offset: nothing to add.
  std::vector<Vote> line;
  for (uint32_t q = 0; q < 500; q += 3) line.push_back({1000 + q, q});
  EXPECT_EQ(aligner.coarse_bound(line), line.size());
  EXPECT_EQ(aligner.coarse_bound({}), 0u);
}

class RankTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (uint32_t i = 0; i < 4; ++i) {
      sounds_.push_back(melody(10 + i, kSampleRate * 8));
      SoundPrint print = describe(sounds_.back());
      std::string name = "s";
      name += std::to_string(i) + ".bin";
      store_.push_back({static_cast<int64_t>(i), name, sounds_.back().size(),
                        std::move(print.landmarks), std::move(print.envelope)});
    }
    bytes_ = build_ranked_file(store_);
    std::string why;
    file_ = RankedFile::parse(bytes_, why);
    ASSERT_TRUE(file_) << why;
  }
  std::vector<std::vector<float>> sounds_;
  std::vector<IndexedSound> store_;
  std::string bytes_;
  std::optional<RankedFile> file_;
};

TEST_F(RankTest, ExcerptMixedIntoSilenceIsFoundAtItsOffset) {
  // Two seconds of sound 2 from 3.3 s, after 0.7 s of silence, quieter and
  // with a little noise: the query starts 0.7 s before the excerpt.
  std::mt19937 g(7);
  const size_t from = static_cast<size_t>(3.3 * kSampleRate);
  const size_t lead = static_cast<size_t>(0.7 * kSampleRate);
  std::vector<float> q(lead + 2 * kSampleRate);
  for (size_t i = 0; i < q.size(); ++i) {
    const float noise = (static_cast<float>(g() % 2001) - 1000) * 1e-5f;
    q[i] = noise + (i >= lead ? 0.5f * sounds_[2][from + i - lead] : 0.0f);
  }
  const ranking::Ranking r = rank(*file_, q);
  ASSERT_TRUE(r.match);
  EXPECT_EQ(r.match_label, "source");
  ASSERT_EQ(r.results.size(), 1u);
  EXPECT_EQ(r.results[0].id, 2);
  EXPECT_EQ(r.results[0].name, "s2.bin");
  EXPECT_NEAR(*r.results[0].offset_s, 3.3 - 0.7, 2.0 * kParams.hop / kSampleRate);
  EXPECT_GE(r.results[0].score, r.threshold);
  ASSERT_TRUE(r.best_candidate);
  EXPECT_EQ(r.best_candidate->id, 2);
  EXPECT_GT(r.confidence, 0.9);
  EXPECT_LE(r.confidence, 1.0);
  EXPECT_TRUE(r.threshold == least_votes(0) || r.threshold == least_votes(SIZE_MAX));
}

TEST_F(RankTest, UnrelatedSilentAndTinyQueriesAreNoMatch) {
  for (const std::vector<float>& q :
       {melody(99, kSampleRate * 3), std::vector<float>(kSampleRate, 0.0f), std::vector<float>(30, 0.2f),
        std::vector<float>()}) {
    const ranking::Ranking r = rank(*file_, q);
    EXPECT_FALSE(r.match);
    EXPECT_TRUE(r.results.empty());
    EXPECT_GE(r.confidence, 0.5);
    EXPECT_LE(r.confidence, 1.0);
    // The verdict names what the best candidate missed: votes, or the
    // envelope agreement its votes need.
    if (!r.measure_name.empty()) {
      EXPECT_EQ(r.measure_name, "accord spectral");
      EXPECT_LT(r.measure, r.threshold);
    } else {
      EXPECT_TRUE(r.threshold == least_votes(0) || r.threshold == least_votes(SIZE_MAX));
      if (r.best_candidate) {
        EXPECT_LT(r.best_candidate->score, r.threshold);
      }
    }
  }
}

TEST_F(RankTest, CandidatesCarryTheirAgreement) {
  const size_t from = 2 * kSampleRate;
  const std::vector<float> q(sounds_[1].begin() + from, sounds_[1].begin() + from + kSampleRate);
  const std::vector<Candidate> found = candidates(*file_, q);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found[0].sound, 1u);
  EXPECT_GT(found[0].agreement, 0.9);
  EXPECT_TRUE(passes(found[0]));
  EXPECT_NEAR(found[0].offset, static_cast<double>(from) / kParams.hop, 1.5);
  for (size_t i = 1; i < found.size(); ++i) EXPECT_GE(found[i - 1].votes, found[i].votes);
  // Each pair of thresholds holds from its votes up to the next pair's.
  for (size_t i = 0; i < std::size(kThresholds); ++i) {
    const Threshold& t = kThresholds[i];
    EXPECT_TRUE(passes({0, t.votes, t.agreement, 0, 1}));
    EXPECT_FALSE(passes({0, t.votes, t.agreement - 0.01, 0, 1}));
    if (i + 1 < std::size(kThresholds)) {
      EXPECT_LT(kThresholds[i + 1].agreement, t.agreement);  // more votes, less confirmation
      EXPECT_FALSE(passes({0, kThresholds[i + 1].votes - 1, kThresholds[i + 1].agreement, 0, 1}));
    }
  }
  EXPECT_FALSE(passes({0, kMinVotes - 1, 1.0, 0, 1}));
  // Two votes are enough for a short query only.
  EXPECT_EQ(least_votes(kShortQuery), kMinVotes);
  EXPECT_GT(least_votes(kShortQuery + 1), kMinVotes);
  EXPECT_FALSE(passes({0, kMinVotes, 1.0, 0, 1, least_votes(kShortQuery + 1)}));
}

// A ring that recurs: a second of tune, half a second of silence, three
// times, then a longer silence and the ring again. A query across the
// longer silence gets as many votes two rings earlier (and the votes prefer
// the earlier place), where a ring lies under its silence: the envelope
// tells them apart.
TEST(RankPeriodicTest, RecurringRingIsPlacedByTheSilenceItHolds) {
  const std::vector<float> tune = melody(40, kSampleRate);
  std::vector<float> ring = tune;
  ring.resize(3 * kSampleRate / 2, 0.0f);
  std::vector<float> x;
  for (int k = 0; k < 3; ++k) x.insert(x.end(), ring.begin(), ring.end());
  x.resize(x.size() + 3 * kSampleRate / 2, 0.0f);
  x.insert(x.end(), ring.begin(), ring.end());
  SoundPrint print = describe(x);
  const std::vector<IndexedSound> store = {
      {0, "ring.bin", x.size(), std::move(print.landmarks), std::move(print.envelope)}};
  const std::string bytes = build_ranked_file(store);
  std::string why;
  const std::optional<RankedFile> file = RankedFile::parse(bytes, why);
  ASSERT_TRUE(file) << why;
  // From 3.2 s: the end of the third tune, 2 s of silence, the start of the
  // fourth.
  const size_t from = 16 * kSampleRate / 5;
  const std::vector<float> q(x.begin() + from, x.begin() + from + 18 * kSampleRate / 5);
  const std::vector<Candidate> found = candidates(*file, q);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_GE(found[0].votes, kPlacesCheckedFrom);
  const ranking::Ranking r = rank(*file, q);
  ASSERT_TRUE(r.match);
  EXPECT_NEAR(*r.results[0].offset_s, static_cast<double>(from) / kSampleRate, 0.05);
}

}  // namespace
}  // namespace sound_ranking
