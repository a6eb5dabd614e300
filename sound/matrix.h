// Histogram matrix of a sound: one row per window, n+1 counts per row (one
// per interval, plus the spare column n for samples in no interval), held in
// one contiguous row-major buffer so that consecutive rows form one span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sound {

struct Matrix {
  size_t rows = 0;
  size_t cols = 0;  // n + 1
  std::vector<int32_t> cells;

  int32_t* row(size_t r) { return cells.data() + r * cols; }
  const int32_t* row(size_t r) const { return cells.data() + r * cols; }
  int32_t at(size_t r, size_t c) const { return cells[r * cols + c]; }
};

// A matrix of `rows` rows of n+1 zero counts.
Matrix init_matrice(size_t rows, int n);

}  // namespace sound
