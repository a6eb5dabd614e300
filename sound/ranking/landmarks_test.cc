#include "sound/ranking/landmarks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <set>
#include <vector>

#include "sound/ranking/test_melody.h"

namespace sound_ranking {
namespace {

Peak peak(uint32_t frame, float freq) {
  return {frame, static_cast<uint32_t>(std::lround(freq)), freq, 1.0f};
}

TEST(LandmarksTest, TripletsOfAnAnchorAndPairsOfItsStrongestFollowers) {
  // Anchor at frame 0; followers at 2, 5, 9 (within reach), 60 (too late)
  // and one too far in frequency.
  std::vector<Peak> peaks = {peak(0, 40), peak(2, 50), peak(5, 30), peak(6, 200), peak(9, 45), peak(60, 41)};
  Params p;
  p.targets = 3;
  p.target_dt = 48;
  p.target_df = 48;
  const std::vector<Landmark> l = landmarks(peaks, p);
  // Anchor 0: C(3, 2) = 3 triplets; anchor 2: followers 5 and 9 (6 too far
  // in frequency): 1; anchor 5: followers 9 only: none; the rest: none.
  ASSERT_EQ(l.size(), 4u);
  EXPECT_EQ(l[0].frame, 0u);
  EXPECT_EQ(l[2].frame, 0u);
  EXPECT_EQ(l[3].frame, 2u);
  std::set<uint32_t> distinct;
  for (const Landmark& x : l) {
    EXPECT_EQ(x.hash >> kHashBits, 0u);
    distinct.insert(x.hash);
  }
  EXPECT_EQ(distinct.size(), l.size());
}

TEST(LandmarksTest, FeaturesKeptUnderAChangeOfSpeed) {
  const auto tf = triplet_features(std::vector<Peak>{peak(10, 40), peak(14, 52), peak(30, 33)});
  // 3 % faster: frequencies up 3 %, time gaps down 3 %.
  const auto sped = triplet_features(std::vector<Peak>{peak(10, 41.2f), peak(14, 53.56f), peak(29, 33.99f)});
  ASSERT_EQ(tf.size(), 1u);
  ASSERT_EQ(sped.size(), 1u);
  const Features& a = tf[0].first;
  const Features& b = sped[0].first;
  EXPECT_NEAR(a.r1, b.r1, 1e-3);
  EXPECT_NEAR(a.r2, b.r2, 1e-3);
  EXPECT_NEAR(a.u, b.u, 0.1);  // gaps are whole frames
  EXPECT_NEAR(a.band, b.band, 0.13);  // log2(1.03) * 3 steps per octave
}

TEST(LandmarksTest, ProbesAddTheNeighbourCellNearABoundary) {
  std::vector<uint32_t> h;
  const Features centred{5.5f, 40.5f, 60.5f, 3.5f, 4.5f};
  probe_hashes(centred, 0.3f, h);
  ASSERT_EQ(h.size(), 1u);
  EXPECT_EQ(h[0], hash_of(centred));

  Features near = centred;
  near.r1 = 40.9f;  // next cell up
  near.g = 4.1f;    // next cell down
  probe_hashes(near, 0.3f, h);
  ASSERT_EQ(h.size(), 4u);
  EXPECT_EQ(h[0], hash_of(near));
  std::set<uint32_t> want;
  for (float r1 : {40.5f, 41.5f})
    for (float g : {3.5f, 4.5f}) want.insert(hash_of({5.5f, r1, 60.5f, 3.5f, g}));
  EXPECT_EQ(std::set<uint32_t>(h.begin(), h.end()), want);

  // Only the fields nearest to a boundary when fewer are allowed: r2 (0.05
  // away) and g (0.1) before r1 (0.2).
  Features three = centred;
  three.r1 = 40.8f;
  three.r2 = 60.05f;
  three.g = 4.1f;
  probe_hashes(three, 0.3f, h, 2);
  want.clear();
  for (float r2 : {59.5f, 60.5f})
    for (float g : {3.5f, 4.5f}) want.insert(hash_of({5.5f, 40.5f, r2, 3.5f, g}));
  EXPECT_EQ(std::set<uint32_t>(h.begin(), h.end()), want);
  probe_hashes(three, 0.3f, h);
  EXPECT_EQ(h.size(), 8u);

  Features edge = centred;
  edge.band = 0.05f;  // no cell below the first
  probe_hashes(edge, 0.3f, h);
  EXPECT_EQ(h.size(), 1u);
}

TEST(LandmarksTest, ShiftedSoundGivesShiftedLandmarks) {
  const std::vector<float> x = melody(4, 16000 * 4);
  std::vector<float> shifted(x.size() + 20 * kParams.hop, 0.0f);
  std::copy(x.begin(), x.end(), shifted.begin() + 20 * kParams.hop);
  const std::vector<Landmark> a = fingerprint(x);
  const std::vector<Landmark> b = fingerprint(shifted);
  ASSERT_GT(a.size(), 200u);
  std::set<std::pair<uint32_t, uint32_t>> moved;
  for (const Landmark& l : b) moved.insert({l.hash, l.frame});
  size_t kept = 0;
  for (const Landmark& l : a) kept += moved.count({l.hash, l.frame + 20});
  EXPECT_GT(kept, a.size() * 9 / 10);
}

TEST(LandmarksTest, SilenceAndTinySoundsHaveNone) {
  EXPECT_TRUE(fingerprint(std::vector<float>(16000, 0.0f)).empty());
  EXPECT_TRUE(fingerprint(std::vector<float>(10, 0.5f)).empty());
  EXPECT_TRUE(fingerprint({}).empty());
}

}  // namespace
}  // namespace sound_ranking
