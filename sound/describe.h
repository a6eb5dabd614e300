// Describing a sound: its raw bytes (8-byte little-endian doubles, a trailing
// group of fewer than 8 bytes ignored) become a histogram matrix. Window
// cutting: samples are numbered from 1 and sample k counts in row k / E, so
// row 0 holds samples 1 to E-1, row w holds w·E to (w+1)·E-1, and the last row,
// row W = N / E, holds what is left (1 to E samples; all N when N < E).
//
// Rows are handed on one at a time as they are finished, so that a sound can
// be written out or measured without its whole matrix in memory.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "sound/bounds.h"
#include "sound/matrix.h"

namespace sound {

// W, the number of complete windows of a sound of `samples` samples.
uint64_t getNbFen(uint64_t samples, int32_t echantillons);

// The rows of the matrix of a sound file of `bytes` bytes: W + 1.
uint64_t rows_of_file(uint64_t bytes, int32_t echantillons);

// Receives the rows of one sound, in order, each of n+1 counts.
class RowSink {
 public:
  virtual ~RowSink() = default;
  virtual void row(const int32_t* counts, size_t cols) = 0;
};

// Keeps the rows in a matrix, at most `max_rows` of them: past that it only
// counts them (and gives back what it held), for a caller that has no use
// for a matrix that long.
class MatrixRows : public RowSink {
 public:
  explicit MatrixRows(int n, uint64_t max_rows = UINT64_MAX);
  // Room for `rows` rows (never more than max_rows).
  void reserve(uint64_t rows);
  void row(const int32_t* counts, size_t cols) override;
  uint64_t rows() const { return rows_; }
  // Whether every row was kept.
  bool complete() const { return rows_ <= max_rows_; }
  // The matrix of the rows kept; the collector is spent.
  Matrix take();

 private:
  Matrix matrix_;
  uint64_t max_rows_;
  uint64_t rows_ = 0;
};

// Counts bytes that arrive in pieces of any size, so a file can be read once,
// in chunks, straight into its histograms. Holds one row at a time.
class Describer {
 public:
  Describer(int32_t echantillons, const Bounds& bounds, RowSink& sink);
  void feed(std::string_view bytes);
  // Hands on the last row; the describer is spent.
  void finish();

 private:
  void count(const char* samples, uint64_t how_many);

  int32_t echantillons_;
  const Bounds& bounds_;
  RowSink& sink_;
  size_t cols_;
  std::vector<int32_t> row_;    // the row being counted
  std::vector<int32_t> parts_;  // scratch: four partial histograms of a row
  uint64_t left_in_row_;  // samples the current row still takes
  char carry_[8];         // a sample split between two pieces
  size_t carried_ = 0;
};

// The whole description at once.
Matrix describe(std::string_view bytes, int32_t echantillons, const Bounds& bounds);

}  // namespace sound
