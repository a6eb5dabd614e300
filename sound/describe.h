// Describing a sound: its raw bytes (8-byte little-endian doubles, a trailing
// group of fewer than 8 bytes ignored) become a histogram matrix. Window
// cutting: samples are numbered from 1 and sample k counts in row k / E, so
// row 0 holds samples 1 to E-1, row w holds w·E to (w+1)·E-1, and the last row,
// row W = N / E, holds what is left (1 to E samples; all N when N < E).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "sound/bounds.h"
#include "sound/matrix.h"

namespace sound {

// W, the number of complete windows of a sound of `samples` samples.
uint64_t getNbFen(uint64_t samples, int32_t echantillons);

// Builds a matrix from bytes that arrive in pieces of any size, so a file can
// be read once, in chunks, straight into its histogram.
class Describer {
 public:
  Describer(int32_t echantillons, const Bounds& bounds);

  // Room for a sound of `bytes` bytes, when its size is known beforehand.
  void reserve(uint64_t bytes);
  void feed(std::string_view bytes);
  // The W+1 rows; the describer is spent.
  Matrix finish();

 private:
  void count(const char* samples, uint64_t how_many);

  int32_t echantillons_;
  const Bounds& bounds_;
  Matrix matrix_;
  std::vector<int32_t> parts_;  // scratch: four partial histograms of a row
  uint64_t left_in_row_;  // samples the current (last) row still takes
  char carry_[8];         // a sample split between two pieces
  size_t carried_ = 0;
};

// The whole description at once.
Matrix describe(std::string_view bytes, int32_t echantillons, const Bounds& bounds);

}  // namespace sound
