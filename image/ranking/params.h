// The image ranker's frozen parameters. The thumbnail and window layout is
// recorded in every ranked file, which is refused when it was built with other
// values; the scoring weights and thresholds are recorded with them.
#pragma once

#include <array>

namespace image_ranking {

// Thumbnails: kThumb x kThumb block means of the luminance.
inline constexpr int kThumb = 16;
inline constexpr int kThumbCells = kThumb * kThumb;

// Windows described beside the whole image, so that a cropped query still
// finds its source: for each scale, the window's side as a share of the
// image's (in thousandths) and how many positions it takes along each axis,
// spread evenly from one edge to the other.
struct WindowScale {
  int per_mille;
  int positions;
};
inline constexpr std::array<WindowScale, 3> kWindowScales = {{{500, 2}, {700, 3}, {850, 3}}};
inline constexpr int kWindowCount = 2 * 2 + 3 * 3 + 3 * 3;
inline constexpr int kThumbsPerImage = 1 + kWindowCount;  // the whole image first

// Brightness changes the query may have gone through: its histogram is also
// counted with every value multiplied by each of these gains.
inline constexpr std::array<double, 7> kToneGains = {0.65, 0.75, 0.87, 1.0, 1.15, 1.3, 1.5};

// Small turns the query may have gone through on an enlarged canvas (degrees,
// clockwise); tried only when its corners show the flat wedges such a turn
// leaves.
inline constexpr std::array<double, 10> kTurnAngles = {-8, -6, -4.5, -3, -1.5, 1.5, 3, 4.5, 6, 8};
// Largest luminance spread (0-255) within the four corner patches of a query
// whose corners count as one flat fill.
inline constexpr double kWedgeTolerance = 16;

// Score = kWeightHistogram x histogram similarity + kWeightThumbnail x layout
// similarity, raised to (layout similarity - kLayoutAloneMargin) when that is
// higher: a layout that close is enough on its own (posterised or strongly
// toned copies keep their layout but not their histogram).
inline constexpr double kWeightHistogram = 0.5;
inline constexpr double kWeightThumbnail = 0.5;
inline constexpr double kLayoutAloneMargin = 0.08;

// Verdict: a best score at or above kMatchThreshold is a match, labelled
// "même image" from kSameImageThreshold up, "image proche" below it.
inline constexpr double kMatchThreshold = 0.88;
inline constexpr double kSameImageThreshold = 0.97;

}  // namespace image_ranking
