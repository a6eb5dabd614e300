// Helpers of the sound side's unit tests: sample bytes and small matrices.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "sound/matrix.h"

namespace sound::testing {

// Little-endian doubles, as a sound file holds them.
inline std::string samples(const std::vector<double>& xs) {
  std::string bytes(xs.size() * 8, '\0');
  std::memcpy(bytes.data(), xs.data(), bytes.size());
  return bytes;
}

inline Matrix matrix(int n, const std::vector<std::vector<int32_t>>& rows) {
  Matrix m = init_matrice(rows.size(), n);
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c) m.row(r)[c] = rows[r][c];
  return m;
}

inline std::vector<int32_t> row_sums(const Matrix& m) {
  std::vector<int32_t> sums;
  for (size_t r = 0; r < m.rows; ++r) {
    int32_t s = 0;
    for (size_t c = 0; c < m.cols; ++c) s += m.at(r, c);
    sums.push_back(s);
  }
  return sums;
}

// A base whose scores against a one-row query (c, 0) are exactly `scores`.
inline Matrix base_with_scores(const std::vector<int32_t>& scores) {
  std::vector<std::vector<int32_t>> rows;
  for (const int32_t s : scores) rows.push_back({s, 0});
  return matrix(1, rows);
}

}  // namespace sound::testing
