#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sound/score.h"
#include "sound/test_matrices.h"

namespace sound {
namespace {

using testing::base_with_scores;
using testing::matrix;

TEST(SoundScore, TheDetectionRuleOnScoreSeries) {
  EXPECT_FALSE(detected({}, 1, 0));
  EXPECT_TRUE(detected({0}, 3, 3));
  EXPECT_FALSE(detected({0}, 2, 3));
  EXPECT_TRUE(detected({5, 1006}, 1, 2));
  EXPECT_FALSE(detected({5, 1005}, 1, 2));
  EXPECT_FALSE(detected({0, 0, 2000}, 1, 3));
}

TEST(SoundScore, DetectionUsesPairsAndTheThreshold) {
  const Matrix q = matrix(1, {{5000, 0}});
  EXPECT_FALSE(slide(q, base_with_scores({2000, 1000})).detected);
  EXPECT_TRUE(slide(q, base_with_scores({2000, 999})).detected);
  EXPECT_TRUE(slide(q, base_with_scores({999, 2000})).detected);
  EXPECT_FALSE(slide(q, base_with_scores({1000, 2000})).detected);
  // A jump between offsets 1 and 2 crosses two pairs.
  EXPECT_FALSE(slide(q, base_with_scores({0, 0, 3000, 3000})).detected);
  EXPECT_TRUE(slide(q, base_with_scores({0, 0, 3000, 3000, 0, 1001})).detected);
  // The last offset of an odd-length series has no partner.
  EXPECT_FALSE(slide(q, base_with_scores({0, 0, 3000})).detected);
  EXPECT_FALSE(slide(q, base_with_scores({0, 0, 0, 0})).detected);
}

TEST(SoundScore, ExactWithoutTheFastPath) {
  // Negative counts (a garbled base) take the 64-bit path; same definition.
  const Matrix q = matrix(2, {{1, 2, 3}, {4, 5, 6}});
  const Matrix b = matrix(2, {{-1, 9, 9}, {2, -2000000000, 1}, {9, 9, 9}, {-2000000000, 0, 0}});
  const Slide s = slide(q, b);
  EXPECT_EQ(s.scores, (std::vector<int64_t>{-1 + 2 + 3 + 2 - 2000000000 + 1,
                                            1 - 2000000000 + 1 + 4 + 5 + 6,
                                            1 + 2 + 3 - 2000000000 + 0 + 0}));
  EXPECT_EQ(s.best, 0);
  EXPECT_EQ(s.best_offset, 0u);
}

}  // namespace
}  // namespace sound
