// Scoring one query against one indexed image, and the verdict on the best.
#pragma once

#include <cstdint>
#include <string>

#include "image/ranking/thumbnail.h"

namespace image_ranking {

// Sum of products of two thumbnails (the cells of a thumbnail sum to 0, so
// this is their covariance up to the cell count). Cells within [-255, 255].
inline int64_t dot(const int16_t* a, const int16_t* b) {
  int32_t sum = 0;  // at most 256 x 255 x 255 in magnitude
  for (int k = 0; k < kThumbCells; ++k) sum += static_cast<int32_t>(a[k]) * b[k];
  return sum;
}

// Pearson correlation of two thumbnails, in [-1, 1]: the Spearman correlation
// of the block means they were ranked from. 0 when either is flat.
double layout_similarity(const Thumb& a, const Thumb& b);

// kWeightHistogram x histogram + kWeightThumbnail x layout, or layout -
// kLayoutAloneMargin when that is higher.
double combined_score(double histogram, double layout);

struct Verdict {
  bool match = false;
  double confidence = 0;  // in [0, 1]
  std::string label;      // "même image" or "image proche" for a match
};

// A match from kMatchThreshold up. Confidence grows from 0.5 at the threshold
// to 1 at a score of 1 (match) or 0 (no match).
Verdict verdict(double best_score);

}  // namespace image_ranking
