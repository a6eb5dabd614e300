#include "image/ranking/thumbnail.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "image/ranking/test_images.h"

namespace image_ranking {
namespace {

using testing::grey;

TEST(Thumbnail, BlockRuleOnASmallNonSquareImage) {
  // 4 lines x 20 columns: each line feeds 4 block lines; columns 3-4, 8-9,
  // 13-14 and 18-19 make the double-width blocks 3, 7, 11 and 15.
  const image::ImageLue img = grey(4, 20, [](int i, int j) { return 10 * j + i; });
  const LumaTable luma(img.nb);
  EXPECT_EQ(block_begin(3, 20), 3);
  EXPECT_EQ(block_end(3, 20), 5);
  EXPECT_EQ(block_begin(5, 4), 1);
  EXPECT_EQ(block_end(5, 4), 2);
  const Means m = block_means(luma, 0, 0, 4, 20);
  EXPECT_DOUBLE_EQ(m[0], 0);
  EXPECT_DOUBLE_EQ(m[3], 35);             // line 0, columns 3 and 4
  EXPECT_DOUBLE_EQ(m[5 * 16 + 3], 36);    // line 1
  EXPECT_DOUBLE_EQ(m[15 * 16 + 15], 188);  // line 3, columns 18 and 19

  // Means grow with the block column, then the image line; each value fills
  // four cells, which share the mean of their four ranks.
  const Thumb t = rank_cells(m);
  EXPECT_EQ(t[0], -252);
  EXPECT_EQ(t[15 * 16 + 15], 252);
  for (int i = 0; i < 16; ++i)
    for (int j = 0; j < 16; ++j) EXPECT_EQ(t[i * 16 + j], 8 * (4 * j + i / 4) - 252) << i << "," << j;
}

TEST(Thumbnail, LargerImagesShareTheirLinesOut) {
  EXPECT_EQ(block_begin(0, 40), 0);
  EXPECT_EQ(block_end(0, 40), 2);
  EXPECT_EQ(block_end(1, 40), 5);  // blocks of 2 or 3 lines
  EXPECT_EQ(block_end(15, 40), 40);
  EXPECT_EQ(block_begin(15, 1), 0);  // a single line feeds every block
  EXPECT_EQ(block_end(15, 1), 1);
}

TEST(Thumbnail, RanksAreMonotoneInvariantAndFlatImagesGiveZeros) {
  Means m{}, brighter{};
  for (int k = 0; k < kThumbCells; ++k) {
    m[k] = (k * 37) % 256;
    brighter[k] = 255 * std::pow(m[k] / 255, 0.5);  // a gamma change
  }
  EXPECT_EQ(rank_cells(m), rank_cells(brighter));
  int sum = 0;
  for (int16_t v : rank_cells(m)) sum += v;
  EXPECT_EQ(sum, 0);
  const image::ImageLue dot = grey(1, 1, [](int, int) { return 9; });
  EXPECT_EQ(rank_cells(block_means(LumaTable(dot.nb), 0, 0, 1, 1)), Thumb{});
}

TEST(Thumbnail, EightOrientationsAreTheSymmetriesOfTheSquare) {
  Thumb t{};
  for (int k = 0; k < kThumbCells; ++k) t[k] = static_cast<int16_t>(k);
  EXPECT_EQ(oriented(t, 0), t);
  EXPECT_EQ(oriented(t, 1)[0], t[15 * 16]);  // clockwise: bottom-left goes to top-left
  EXPECT_EQ(oriented(oriented(t, 1), 3), t);
  EXPECT_EQ(oriented(oriented(t, 4), 4), t);
  for (int a = 0; a < 8; ++a)
    for (int b = a + 1; b < 8; ++b) EXPECT_NE(oriented(t, a), oriented(t, b));
  // a quarter turn of a non-square image is a quarter turn of its thumbnail
  const image::ImageLue img = grey(32, 48, [](int i, int j) { return (i * 5 + j * j) % 256; });
  const image::ImageLue turned = grey(48, 32, [](int i, int j) { return ((31 - j) * 5 + i * i) % 256; });
  EXPECT_EQ(oriented(rank_cells(block_means(LumaTable(img.nb), 0, 0, 32, 48)), 1),
            rank_cells(block_means(LumaTable(turned.nb), 0, 0, 48, 32)));
}

TEST(Thumbnail, WindowsCoverCornersAndCentres) {
  const Window first = window(100, 200, 0);
  EXPECT_EQ(first.top, 0);
  EXPECT_EQ(first.left, 0);
  EXPECT_EQ(first.lines, 50);
  EXPECT_EQ(first.columns, 100);
  const Window corner = window(100, 200, 3);  // last half-size window: bottom right
  EXPECT_EQ(corner.top + corner.lines, 100);
  EXPECT_EQ(corner.left + corner.columns, 200);
  const Window centre = window(100, 200, 4 + 4);  // 0.7 scale, middle of 3 x 3
  EXPECT_EQ(centre.top, 15);
  EXPECT_EQ(centre.left, 30);
  const Window tiny = window(1, 1, kWindowCount - 1);
  EXPECT_EQ(tiny.lines, 1);
  EXPECT_EQ(tiny.top, 0);
}

TEST(Thumbnail, WedgesAndTurningBack) {
  // A picture on a white canvas turned by 6 degrees, as ImageMagick makes it:
  // sampled back, it matches the picture far better than the canvas does.
  const int h = 60, w = 80;
  auto picture = [](double y, double x) { return static_cast<int>(110 + 60 * std::sin(x / 9) + 50 * std::cos(y / 7)); };
  const double a = 6 * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
  const int wq = static_cast<int>(std::lround(w * c + h * s)), hq = static_cast<int>(std::lround(w * s + h * c));
  const image::ImageLue canvas = grey(hq, wq, [&](int i, int j) {
    const double x = j + 0.5 - wq / 2.0, y = i + 0.5 - hq / 2.0;
    const double sx = x * c + y * s + w / 2.0, sy = -x * s + y * c + h / 2.0;
    return sx < 0 || sy < 0 || sx >= w || sy >= h ? 255 : picture(sy, sx);
  });
  const image::ImageLue original = grey(h, w, [&](int i, int j) { return picture(i + 0.5, j + 0.5); });
  const LumaTable luma(canvas.nb);
  EXPECT_TRUE(has_wedges(luma));
  EXPECT_FALSE(has_wedges(LumaTable(original.nb)));
  const Thumb source = rank_cells(block_means(LumaTable(original.nb), 0, 0, h, w));
  const std::optional<Means> back = turned_back_means(luma, 6);
  ASSERT_TRUE(back.has_value());
  auto corr = [&](const Thumb& t) {
    double ab = 0, aa = 0, bb = 0;
    for (int k = 0; k < kThumbCells; ++k) {
      ab += t[k] * source[k];
      aa += t[k] * t[k];
      bb += source[k] * source[k];
    }
    return ab / std::sqrt(aa * bb);
  };
  EXPECT_GT(corr(rank_cells(*back)), 0.9);
  EXPECT_LT(corr(rank_cells(block_means(luma, 0, 0, hq, wq))), 0.8) << corr(rank_cells(*back));
  EXPECT_FALSE(turned_back_means(LumaTable(grey(4, 100, [](int, int) { return 0; }).nb), 8).has_value());
}

}  // namespace
}  // namespace image_ranking
