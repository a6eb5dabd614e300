#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "sound/describe.h"
#include "sound/test_matrices.h"

namespace sound {
namespace {

using testing::matrix;
using testing::row_sums;
using testing::samples;

// (Windows of 10 and 8 samples, empty and odd-length files and the bound
// edges are checked end to end, on the descriptor bytes.)
TEST(SoundDescribe, WindowCuttingAtTheExtremes) {
  const Bounds b(2);
  EXPECT_EQ(row_sums(describe(samples(std::vector<double>(3, 0.5)), 4, b)),
            (std::vector<int32_t>{3}));
  // E = 1: row 0 is empty, then one sample per row.
  EXPECT_EQ(row_sums(describe(samples(std::vector<double>(3, 0.5)), 1, b)),
            (std::vector<int32_t>{0, 1, 1, 1}));
  EXPECT_EQ(getNbFen(10, 4), 2u);
  EXPECT_EQ(getNbFen(3, 4), 0u);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(describe(samples({1.0, -1.5, nan, 7.0, -1.0, 0.0}), 8, b).cells,
            (std::vector<int32_t>{1, 1, 4}));
}

TEST(SoundDescribe, PiecesOfAnySizeGiveTheSameMatrix) {
  std::mt19937_64 rng(3);
  std::uniform_real_distribution<double> amp(-1.1, 1.1);
  std::vector<double> xs(5000);
  for (auto& x : xs) x = amp(rng);
  const std::string bytes = samples(xs) + "xyz";
  const Bounds b(40);
  const Matrix whole = describe(bytes, 64, b);
  EXPECT_EQ(whole.rows, 5000u / 64 + 1);
  for (const size_t piece : {1, 3, 7, 8, 13, 4096}) {
    MatrixRows rows(40);
    Describer d(64, b, rows);
    for (size_t at = 0; at < bytes.size(); at += piece)
      d.feed(std::string_view(bytes).substr(at, piece));
    d.finish();
    EXPECT_EQ(rows.take().cells, whole.cells) << piece;
  }
}

TEST(SoundDescribe, RowsPastTheLimitAreCountedNotKept) {
  const Bounds b(2);
  const std::string bytes = samples(std::vector<double>(10, 0.5));  // E = 2: rows of 1, 2, 2, 2, 2, 1
  MatrixRows all(2);
  Describer whole(2, b, all);
  whole.feed(bytes);
  whole.finish();
  EXPECT_EQ(all.rows(), 6u);
  EXPECT_TRUE(all.complete());
  EXPECT_EQ(row_sums(all.take()), (std::vector<int32_t>{1, 2, 2, 2, 2, 1}));

  MatrixRows capped(2, 5);
  capped.reserve(rows_of_file(bytes.size(), 2));
  Describer d(2, b, capped);
  d.feed(bytes);
  d.finish();
  EXPECT_EQ(capped.rows(), 6u);
  EXPECT_FALSE(capped.complete());
  const Matrix kept = capped.take();
  EXPECT_EQ(kept.rows, 0u);
  EXPECT_EQ(kept.cells.capacity(), 0u);
  EXPECT_EQ(rows_of_file(bytes.size() + 7, 2), 6u);
}

}  // namespace
}  // namespace sound
