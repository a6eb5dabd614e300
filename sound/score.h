// Searching a query sound inside one indexed sound: the query's rows are laid
// over the sound's rows at every offset, and the score of an offset is the
// histogram intersection summed over all query rows. Pure functions of the two
// matrices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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

// Scores every offset and applies the detection rule: scores are taken in
// pairs of consecutive offsets (0,1), (2,3)...; the sound is found when the two
// scores of a pair differ by more than kJump, or when it has exactly as many
// rows as the query.
Slide slide(const Matrix& query, const Matrix& base);

// Duration of one window in seconds, E / 16000 held in single precision.
float window_step(int32_t echantillons);

// The report of a found sound (empty when it was not found): one line per
// offset whose score lies within kJump of the best, then the span of the best
// offset. `name` is printed as it is.
std::string format_report(const Slide& s, size_t query_rows, std::string_view name, float step);

// slide and format_report together.
std::string compare_matrices(const Matrix& query, const Matrix& base, std::string_view name,
                             float step);

}  // namespace sound
