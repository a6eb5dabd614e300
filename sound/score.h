// Searching a query sound inside one indexed sound, and the sound detection
// rule. The query's rows are laid over the sound's rows at every offset; the
// score of an offset is the histogram intersection summed over all query
// rows. Pure functions of the two matrices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/matrix.h"

namespace sound {

// A score series jump larger than this (in samples) marks a sound as found.
inline constexpr int64_t kJump = 1000;

struct Slide {
  std::vector<int64_t> scores;  // one per offset 0..b-q; empty when b < q
  int64_t best = 0;             // best score, starting from 0
  size_t best_offset = 0;       // the last offset reaching it
  bool detected = false;
};

// The sound detection rule. The scores are taken in pairs of consecutive
// offsets (0,1), (2,3)...; a sound of `base_rows` rows holds the query of
// `query_rows` rows when the two scores of some pair differ by more than
// kJump, or when it has exactly as many rows as the query. (The last score of
// an odd-length series has no partner.)
bool detected(const std::vector<int64_t>& scores, size_t query_rows, size_t base_rows);

// Scores every offset, finds the best, and applies the detection rule.
Slide slide(const Matrix& query, const Matrix& base);

// Duration of one window in seconds, E / 16000 held in single precision.
float window_step(int32_t echantillons);

}  // namespace sound
