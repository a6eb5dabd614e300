#include "sound/describe.h"

#include <algorithm>
#include <cstring>

namespace sound {

uint64_t getNbFen(uint64_t samples, int32_t echantillons) {
  return samples / static_cast<uint64_t>(echantillons);
}

Describer::Describer(int32_t echantillons, const Bounds& bounds)
    : echantillons_(echantillons),
      bounds_(bounds),
      matrix_(init_matrice(1, bounds.intervals())),
      left_in_row_(static_cast<uint64_t>(echantillons) - 1) {}

void Describer::reserve(uint64_t bytes) {
  const uint64_t rows = getNbFen(bytes / 8, echantillons_) + 1;
  matrix_.cells.reserve(rows * matrix_.cols);
}

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

void Describer::count(const char* samples, uint64_t how_many) {
  const size_t cols = matrix_.cols;
  while (how_many > 0) {
    if (left_in_row_ == 0) {
      // The sample about to be counted is number k with k a multiple of E.
      matrix_.cells.resize(matrix_.cells.size() + cols, 0);
      ++matrix_.rows;
      left_in_row_ = static_cast<uint64_t>(echantillons_);
    }
    const uint64_t run = std::min(how_many, left_in_row_);
    int32_t* row = matrix_.row(matrix_.rows - 1);
    for (uint64_t s = 0; s < run; ++s) {
      double x;
      std::memcpy(&x, samples + s * 8, sizeof x);
      ++row[bounds_.column(x)];
    }
    samples += run * 8;
    how_many -= run;
    left_in_row_ -= run;
  }
}

Matrix Describer::finish() { return std::move(matrix_); }

Matrix describe(std::string_view bytes, int32_t echantillons, const Bounds& bounds) {
  Describer d(echantillons, bounds);
  d.reserve(bytes.size());
  d.feed(bytes);
  return d.finish();
}

}  // namespace sound
