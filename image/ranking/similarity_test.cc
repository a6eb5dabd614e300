#include "image/ranking/similarity.h"

#include <array>
#include <cmath>

#include <gtest/gtest.h>

#include "image/ranking/histogram.h"
#include "image/ranking/params.h"
#include "image/ranking/test_images.h"

namespace image_ranking {
namespace {

using testing::colour;
using testing::grey;

TEST(Similarity, HistogramsOfTheLegacyQuantisation) {
  // 4 grey bits: 50 and 55 share code 3, 60 is 3 too, 200 is 12
  const image::ImageLue img = grey(2, 2, [](int i, int j) { return std::array{50, 60, 200, 55}[2 * i + j]; });
  const std::vector<RootBin> h = root_histogram(img.nb, image::ParamBits{});
  ASSERT_EQ(h.size(), 2u);
  EXPECT_EQ(h[0].bin, 3u);
  EXPECT_FLOAT_EQ(h[0].root, std::sqrt(0.75f));
  EXPECT_EQ(h[1].bin, 12u);
  // colour code r * 64 + g * 8 + b with 3 bits
  const image::ImageLue c = colour(1, 1, [](int p, int, int) { return std::array{255, 32, 0}[p]; });
  EXPECT_EQ(root_histogram(c.rgb, image::ParamBits{})[0].bin, 7u * 64 + 1 * 8 + 0);
  EXPECT_EQ(bin_count(image::kKindRGB, image::ParamBits{}), 512u);
}

TEST(Similarity, BhattacharyyaAndTones) {
  const image::ImageLue img = grey(1, 4, [](int, int j) { return std::array{16, 16, 100, 180}[j]; });
  const image::ImageLue dark = grey(1, 4, [](int, int j) { return std::array{11, 11, 70, 126}[j]; });  // x 0.7
  const image::ParamBits bits;
  const std::vector<RootBin> h = root_histogram(img.nb, bits);
  EXPECT_NEAR(bhattacharyya(toned_root_histogram(img.nb, bits, 1.0), h), 1.0, 1e-6);
  // disjoint bins share nothing; toning the dark copy back finds the source
  EXPECT_NEAR(bhattacharyya(toned_root_histogram(dark.nb, bits, 1.0), h), 0.0, 1e-6);
  EXPECT_NEAR(bhattacharyya(toned_root_histogram(dark.nb, bits, 1 / 0.7), h), 1.0, 1e-6);
  // half the mass in common: sqrt(1/2 x 1/2) + sqrt(1/2 x 0)...
  const image::ImageLue half = grey(1, 2, [](int, int j) { return j == 0 ? 16 : 250; });
  EXPECT_NEAR(bhattacharyya(toned_root_histogram(half.nb, bits, 1.0), h), std::sqrt(0.5 * 0.5), 1e-6);
}

TEST(Similarity, LayoutIsRankCorrelation) {
  Thumb a{}, b{};
  for (int k = 0; k < kThumbCells; ++k) a[k] = static_cast<int16_t>(2 * k - 255);
  EXPECT_DOUBLE_EQ(layout_similarity(a, a), 1);
  for (int k = 0; k < kThumbCells; ++k) b[k] = static_cast<int16_t>(-a[k]);
  EXPECT_DOUBLE_EQ(layout_similarity(a, b), -1);
  EXPECT_EQ(layout_similarity(a, Thumb{}), 0);  // a flat thumbnail correlates with nothing
  // swapping two neighbouring ranks barely moves it
  b = a;
  std::swap(b[10], b[11]);
  EXPECT_GT(layout_similarity(a, b), 0.999);
}

TEST(Similarity, WeightingAndTheLayoutAlone) {
  EXPECT_DOUBLE_EQ(combined_score(1, 1), kWeightHistogram + kWeightThumbnail);
  EXPECT_DOUBLE_EQ(combined_score(0.8, 0.6), kWeightHistogram * 0.8 + kWeightThumbnail * 0.6);
  // a posterised copy: histogram lost, layout intact
  EXPECT_DOUBLE_EQ(combined_score(0.1, 0.99), 0.99 - kLayoutAloneMargin);
  EXPECT_GT(combined_score(0.9, 0.8), combined_score(0.8, 0.8));
}

TEST(Similarity, Verdict) {
  Verdict v = verdict(1.0);
  EXPECT_TRUE(v.match);
  EXPECT_EQ(v.label, "même image");
  EXPECT_DOUBLE_EQ(v.confidence, 1);
  v = verdict((kMatchThreshold + kSameImageThreshold) / 2);
  EXPECT_TRUE(v.match);
  EXPECT_EQ(v.label, "image proche");
  v = verdict(kMatchThreshold);
  EXPECT_TRUE(v.match);
  EXPECT_DOUBLE_EQ(v.confidence, 0.5);
  v = verdict(kMatchThreshold - 0.01);
  EXPECT_FALSE(v.match);
  EXPECT_EQ(v.label, "");
  EXPECT_NEAR(v.confidence, 0.5, 0.01);
  EXPECT_DOUBLE_EQ(verdict(0).confidence, 1);
  EXPECT_DOUBLE_EQ(verdict(-0.5).confidence, 1);
}

}  // namespace
}  // namespace image_ranking
