#include "image/ranking/rank.h"

#include <cmath>

#include <gtest/gtest.h>

#include "image/ranking/params.h"
#include "image/ranking/test_images.h"

namespace image_ranking {
namespace {

using testing::colour;
using testing::grey;
using testing::scene;

class Rank : public ::testing::Test {
 protected:
  // Colour pictures 0 to 3 (ids 10, 11, 12, 13), then grey ones (20 to 23).
  void SetUp() override {
    for (int k = 0; k < 4; ++k)
      add(10 + k, colour(40, 60, [k](int p, int i, int j) { return scene(i, j, 3 * k + p); }));
    for (int k = 0; k < 4; ++k) add(20 + k, grey(50, 50, [k](int i, int j) { return scene(i, j, 9 + k); }));
    bytes_ = build_ranked_file(bits_, entries_);
    std::string error;
    file_ = RankedFile::read(bytes_, error);
    ASSERT_TRUE(file_.has_value()) << error;
  }
  void add(int64_t id, const image::ImageLue& img) {
    entries_.push_back({id, "i" + std::to_string(id) + ".txt", *describe(img, bits_, Purpose::kIndex)});
  }
  ranking::Ranking query(const image::ImageLue& img) { return rank(*file_, *describe(img, bits_, Purpose::kQuery)); }

  image::ParamBits bits_;
  std::vector<RankedEntry> entries_;
  std::string bytes_;
  std::optional<RankedFile> file_;
};

TEST_F(Rank, ACopyIsTheSameImageAndOnlyItsKindIsRanked) {
  const ranking::Ranking r = query(colour(40, 60, [](int p, int i, int j) { return scene(i, j, 6 + p); }));
  ASSERT_EQ(r.results.size(), 4u);
  EXPECT_EQ(r.results[0].id, 12);
  EXPECT_EQ(r.results[0].name, "i12.txt");
  EXPECT_NEAR(r.results[0].score, 1.0, 1e-6);
  for (size_t k = 1; k < r.results.size(); ++k) EXPECT_GE(r.results[k - 1].score, r.results[k].score);
  EXPECT_TRUE(r.match);
  EXPECT_EQ(r.match_label, "même image");
  EXPECT_FALSE(r.best_candidate.has_value());
  EXPECT_EQ(r.threshold, kMatchThreshold);
}

TEST_F(Rank, EditedCopiesStillFindTheirSource) {
  auto source = [](int i, int j) { return scene(i, j, 10); };  // grey picture id 21
  // mirrored, turned a quarter, darkened by a gamma, cut to its top-left half
  EXPECT_EQ(query(grey(50, 50, [&](int i, int j) { return source(i, 49 - j); })).results[0].id, 21);
  EXPECT_EQ(query(grey(50, 50, [&](int i, int j) { return source(49 - j, i); })).results[0].id, 21);
  const ranking::Ranking dark =
      query(grey(50, 50, [&](int i, int j) { return static_cast<int>(255 * std::pow(source(i, j) / 255.0, 1.8)); }));
  EXPECT_EQ(dark.results[0].id, 21);
  EXPECT_TRUE(dark.match);
  EXPECT_EQ(query(grey(25, 25, source)).results[0].id, 21);
}

TEST_F(Rank, UnrelatedQueryGivesTheBestCandidateWithoutMatch) {
  const ranking::Ranking r = query(grey(30, 30, [](int i, int j) { return (i / 3 + j / 3) % 2 ? 250 : 5; }));
  ASSERT_EQ(r.results.size(), 4u);
  EXPECT_FALSE(r.match);
  ASSERT_TRUE(r.best_candidate.has_value());
  EXPECT_EQ(r.best_candidate->id, r.results[0].id);
  EXPECT_LT(r.best_candidate->score, r.threshold);
  EXPECT_GT(r.confidence, 0.5);
}

TEST_F(Rank, TiesGoToTheSmallerIdentifier) {
  // the same picture under two identifiers, listed larger id first
  std::vector<RankedEntry> twins;
  const image::ImageLue img = grey(20, 20, [](int i, int j) { return scene(i, j, 1); });
  twins.push_back({8, "z.txt", *describe(img, bits_, Purpose::kIndex)});
  twins.push_back({3, "y.txt", *describe(img, bits_, Purpose::kIndex)});
  const std::string bytes = build_ranked_file(bits_, twins);
  std::string error;
  const ranking::Ranking r = rank(*RankedFile::read(bytes, error), *describe(img, bits_, Purpose::kQuery));
  ASSERT_EQ(r.results.size(), 2u);
  EXPECT_EQ(r.results[0].score, r.results[1].score);
  EXPECT_EQ(r.results[0].id, 3);
}

TEST_F(Rank, NothingOfTheKindOrOtherBitsGiveNoResults) {
  std::vector<RankedEntry> colours(entries_.begin(), entries_.begin() + 4);
  const std::string bytes = build_ranked_file(bits_, colours);
  std::string error;
  const std::optional<RankedFile> f = RankedFile::read(bytes, error);
  const ranking::Ranking r = rank(*f, *describe(grey(9, 9, [](int i, int) { return i; }), bits_, Purpose::kQuery));
  EXPECT_TRUE(r.results.empty());
  EXPECT_FALSE(r.match);
  EXPECT_FALSE(r.best_candidate.has_value());
  const image::ParamBits other{5, 3};
  EXPECT_TRUE(rank(*f, *describe(colour(9, 9, [](int, int i, int) { return i; }), other, Purpose::kQuery)).results.empty());
}

TEST_F(Rank, AnIndexSignatureIsScoredWithoutItsVariants) {
  const image::ImageLue img = colour(40, 60, [](int p, int i, int j) { return scene(i, j, 3 + p); });
  const Similarities s = similarities(*file_, 1, *describe(img, bits_, Purpose::kIndex));
  EXPECT_NEAR(s.histogram, 1.0, 1e-6);
  EXPECT_NEAR(s.layout, 1.0, 1e-9);
}

}  // namespace
}  // namespace image_ranking
