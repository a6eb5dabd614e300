#include "sound/score.h"

#include <algorithm>

#include "sound/params.h"

namespace sound {

namespace {

// Sum of element-wise minima. With non-negative counts whose query total fits
// 32 bits every partial sum does too, so unsigned lanes give the exact score
// and the loop vectorises.
uint32_t min_sum32(const int32_t* a, const int32_t* b, size_t len) {
  uint32_t sum = 0;
  for (size_t i = 0; i < len; ++i) sum += static_cast<uint32_t>(std::min(a[i], b[i]));
  return sum;
}

// The same without any bound on the counts (a garbled base may hold negative
// or huge ones).
int64_t min_sum64(const int32_t* a, const int32_t* b, size_t len) {
  int64_t sum = 0;
  for (size_t i = 0; i < len; ++i) sum += std::min(a[i], b[i]);
  return sum;
}

bool fits_fast_path(const Matrix& query, const Matrix& base) {
  uint64_t total = 0;
  for (const int32_t c : query.cells) {
    if (c < 0) return false;
    total += static_cast<uint64_t>(c);
  }
  if (total > UINT32_MAX) return false;
  return std::none_of(base.cells.begin(), base.cells.end(), [](int32_t c) { return c < 0; });
}

}  // namespace

bool detected(const std::vector<int64_t>& scores, size_t query_rows, size_t base_rows) {
  if (scores.empty()) return false;
  if (query_rows == base_rows) return true;
  for (size_t k = 1; k < scores.size(); k += 2) {
    const int64_t jump = scores[k - 1] - scores[k];
    if (jump > kJump || jump < -kJump) return true;
  }
  return false;
}

Slide slide(const Matrix& query, const Matrix& base) {
  Slide s;
  const size_t q = query.rows;
  const size_t b = base.rows;
  if (b < q || query.cols != base.cols) return s;
  const size_t span = q * query.cols;  // the query's rows, laid over consecutive base rows
  const bool fast = fits_fast_path(query, base);
  s.scores.resize(b - q + 1);
  for (size_t k = 0; k < s.scores.size(); ++k) {
    const int32_t* over = base.row(k);
    const int64_t score = fast ? int64_t{min_sum32(query.cells.data(), over, span)}
                               : min_sum64(query.cells.data(), over, span);
    s.scores[k] = score;
    if (score >= s.best) {
      s.best = score;
      s.best_offset = k;
    }
  }
  s.detected = detected(s.scores, q, b);
  return s;
}

float window_step(int32_t echantillons) {
  return static_cast<float>(static_cast<double>(echantillons) / kSampleRate);
}

}  // namespace sound
