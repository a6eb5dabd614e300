#include "sound/score.h"

#include <algorithm>
#include <cstdio>

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

std::string seconds(double value) {
  const int size = std::snprintf(nullptr, 0, "%f", value);
  std::string text(static_cast<size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%f", value);
  text.pop_back();
  return text;
}

}  // namespace

Slide slide(const Matrix& query, const Matrix& base) {
  Slide s;
  const size_t q = query.rows;
  const size_t b = base.rows;
  if (b < q || query.cols != base.cols) return s;
  const size_t span = q * query.cols;  // the query's rows, laid over consecutive base rows
  const bool fast = fits_fast_path(query, base);
  s.scores.resize(b - q + 1);
  int64_t first_of_pair = 0;
  for (size_t k = 0; k < s.scores.size(); ++k) {
    const int32_t* over = base.row(k);
    const int64_t score = fast ? int64_t{min_sum32(query.cells.data(), over, span)}
                               : min_sum64(query.cells.data(), over, span);
    s.scores[k] = score;
    if (score >= s.best) {
      s.best = score;
      s.best_offset = k;
    }
    if (s.detected) continue;
    if (k % 2 == 1) {
      const int64_t jump = first_of_pair - score;
      s.detected = jump > kJump || jump < -kJump;
    } else {
      first_of_pair = score;
      s.detected = q == b;
    }
  }
  return s;
}

float window_step(int32_t echantillons) {
  return static_cast<float>(static_cast<double>(echantillons) / kSampleRate);
}

std::string format_report(const Slide& s, size_t query_rows, std::string_view name, float step) {
  std::string out;
  if (!s.detected) return out;
  const double w = step;
  for (size_t p = 0; p < s.scores.size(); ++p) {
    if (s.scores[p] <= s.best - kJump) continue;
    out += "Une ressemblance à été trouvée dans ";
    out += name;
    out += " à l'instant : ";
    out += seconds(static_cast<double>(p) * w);
    out += "s  \n\n";
  }
  // The best offset is held as a float before the products are formed.
  const double best = static_cast<float>(s.best_offset);
  out += "Trouvé dans ";
  out += name;
  out += " postiton :  ";
  out += seconds(best * w);
  out += "s  ";
  out += seconds((best + static_cast<double>(query_rows)) * w);
  out += "s\n\n";
  return out;
}

std::string compare_matrices(const Matrix& query, const Matrix& base, std::string_view name,
                             float step) {
  return format_report(slide(query, base), query.rows, name, step);
}

}  // namespace sound
