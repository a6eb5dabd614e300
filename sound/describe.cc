#include "sound/describe.h"

#include <algorithm>
#include <cstring>

namespace sound {

uint64_t getNbFen(uint64_t samples, int32_t echantillons) {
  return samples / static_cast<uint64_t>(echantillons);
}

uint64_t rows_of_file(uint64_t bytes, int32_t echantillons) {
  return getNbFen(bytes / 8, echantillons) + 1;
}

MatrixRows::MatrixRows(int n, uint64_t max_rows) : matrix_(init_matrice(0, n)), max_rows_(max_rows) {}

void MatrixRows::reserve(uint64_t rows) {
  const uint64_t kept = std::min(rows, max_rows_);
  if (kept <= matrix_.cells.max_size() / matrix_.cols) matrix_.cells.reserve(kept * matrix_.cols);
}

void MatrixRows::row(const int32_t* counts, size_t cols) {
  ++rows_;
  if (rows_ > max_rows_) {
    if (matrix_.rows > 0 || matrix_.cells.capacity() > 0) {
      matrix_.rows = 0;
      matrix_.cells = std::vector<int32_t>();
    }
    return;
  }
  matrix_.cells.insert(matrix_.cells.end(), counts, counts + cols);
  ++matrix_.rows;
}

Matrix MatrixRows::take() { return std::move(matrix_); }

Describer::Describer(int32_t echantillons, const Bounds& bounds, RowSink& sink)
    : echantillons_(echantillons),
      bounds_(bounds),
      sink_(sink),
      cols_(static_cast<size_t>(bounds.intervals()) + 1),
      row_(cols_, 0),
      parts_(4 * cols_),
      left_in_row_(static_cast<uint64_t>(echantillons) - 1) {}

void Describer::feed(std::string_view bytes) {
  const char* p = bytes.data();
  size_t size = bytes.size();
  if (carried_ > 0) {
    const size_t take = std::min(size, sizeof carry_ - carried_);
    std::memcpy(carry_ + carried_, p, take);
    carried_ += take;
    p += take;
    size -= take;
    if (carried_ < sizeof carry_) return;
    count(carry_, 1);
    carried_ = 0;
  }
  const uint64_t whole = size / 8;
  count(p, whole);
  carried_ = size - whole * 8;
  std::memcpy(carry_, p + whole * 8, carried_);
}

namespace {

double sample_at(const char* p) {
  double x;
  std::memcpy(&x, p, sizeof x);
  return x;
}

// Counts `run` samples into `row` in blocks: first every sample's look-up
// cell (a loop the compiler vectorises), then the columns and increments.
// Neighbouring samples often share a column; on long runs four partial
// histograms (`parts`, 4 * cols counts) keep each increment from waiting on
// the one before, and are added into the row at the end.
void count_run(const Bounds::Lookup& lookup, const char* samples, uint64_t run, int32_t* row,
               int32_t* parts, size_t cols) {
  constexpr size_t kBlock = 512;
  int32_t cells[kBlock];
  const bool split = run >= 8 * cols;
  if (split) std::fill(parts, parts + 4 * cols, 0);
  for (uint64_t done = 0; done < run; done += kBlock) {
    const size_t m = static_cast<size_t>(std::min<uint64_t>(kBlock, run - done));
    const char* block = samples + done * 8;
    for (size_t s = 0; s < m; ++s) cells[s] = lookup.cell(sample_at(block + s * 8));
    auto column = [&](size_t s) { return lookup.column_in(cells[s], sample_at(block + s * 8)); };
    size_t s = 0;
    if (split) {
      for (; s + 4 <= m; s += 4) {
        ++parts[column(s)];
        ++parts[cols + column(s + 1)];
        ++parts[2 * cols + column(s + 2)];
        ++parts[3 * cols + column(s + 3)];
      }
    }
    for (; s < m; ++s) ++row[column(s)];
  }
  if (split)
    for (size_t c = 0; c < cols; ++c)
      row[c] += parts[c] + parts[cols + c] + parts[2 * cols + c] + parts[3 * cols + c];
}

}  // namespace

void Describer::count(const char* samples, uint64_t how_many) {
  const Bounds::Lookup lookup = bounds_.lookup();
  while (how_many > 0) {
    if (left_in_row_ == 0) {
      // The sample about to be counted is number k with k a multiple of E.
      sink_.row(row_.data(), cols_);
      std::fill(row_.begin(), row_.end(), 0);
      left_in_row_ = static_cast<uint64_t>(echantillons_);
    }
    const uint64_t run = std::min(how_many, left_in_row_);
    count_run(lookup, samples, run, row_.data(), parts_.data(), cols_);
    samples += run * 8;
    how_many -= run;
    left_in_row_ -= run;
  }
}

void Describer::finish() { sink_.row(row_.data(), cols_); }

Matrix describe(std::string_view bytes, int32_t echantillons, const Bounds& bounds) {
  MatrixRows rows(bounds.intervals());
  rows.reserve(rows_of_file(bytes.size(), echantillons));
  Describer d(echantillons, bounds, rows);
  d.feed(bytes);
  d.finish();
  return rows.take();
}

}  // namespace sound
