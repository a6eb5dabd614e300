// Thumbnails: kThumb x kThumb block means of the luminance, reduced to their
// ranks so that any brightness, contrast or gamma change that keeps the order
// of the values keeps the thumbnail.
//
// Block rule, for a region of n lines (columns alike): block i covers lines
// [floor(i n / 16), max(floor(i n / 16) + 1, floor((i + 1) n / 16))). From 16
// lines up the blocks share the lines out, the larger ones spread evenly; below
// 16 lines every block is a single line and lines repeat (a 4-line image gives
// each line to 4 blocks). A non-square image is thus stretched to a square
// grid, so a quarter turn of the image is a quarter turn of its thumbnail.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "image/ranking/luma.h"
#include "image/ranking/params.h"

namespace image_ranking {

using Means = std::array<double, kThumbCells>;
// 2 x rank - (cells - 1) of each cell, line by line, equal values sharing the
// mean of their ranks: integers in [-255, 255] that sum to 0.
using Thumb = std::array<int16_t, kThumbCells>;

// First line of block i and the line past its last, for a region of n >= 1.
int32_t block_begin(int32_t i, int32_t n);
int32_t block_end(int32_t i, int32_t n);

// Block means of the region [top, top + lines) x [left, left + columns).
Means block_means(const LumaTable& luma, int32_t top, int32_t left, int32_t lines, int32_t columns);

Thumb rank_cells(const Means& means);

// The thumbnail of the image turned by one of the 8 symmetries of the square:
// `k` quarter turns clockwise (k % 4), then mirrored left to right when k >= 4.
Thumb oriented(const Thumb& t, int k);

// Windows described beside the whole image (kWindowScales, scale by scale,
// positions line by line): top, left, lines, columns of window `w`.
struct Window {
  int32_t top, left, lines, columns;
};
Window window(int32_t lines, int32_t columns, int w);

// True when the four corner patches (1/32 of each side, at least 2 pixels) of
// an image of 8 x 8 or more hold one flat fill within kWedgeTolerance.
bool has_wedges(const LumaTable& luma);

// Block means of the picture that, turned by `degrees` clockwise on a canvas
// enlarged to hold it, gave this image: the original frame is solved from the
// canvas size and sampled back (4 x 4 bilinear samples per block). Nothing
// when the canvas is too small for that angle.
std::optional<Means> turned_back_means(const LumaTable& luma, double degrees);

}  // namespace image_ranking
