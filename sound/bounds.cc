#include "sound/bounds.h"

namespace sound {

// This file is built with -ffp-contract=off, and x86-64 evaluates float
// arithmetic in single precision, so each step below rounds to a float.
std::vector<float> createGap(int n) {
  std::vector<float> bounds(static_cast<size_t>(n) + 1);
  const float a = 2.0f / static_cast<float>(n);
  float s = -1.0f - a;
  for (int i = 0; i <= n; ++i) {
    s = s + a;
    bounds[static_cast<size_t>(i)] = s;
  }
  return bounds;
}

Bounds::Bounds(int n) : n_(n), table_(createGap(n)), wide_(table_.begin(), table_.end()) {
  // Rounding keeps every step s + a >= s, so the bounds never decrease and
  // the intervals tile [bound 0, bound n): a sample has at most one interval.
  scale_ = n_ / (wide_[static_cast<size_t>(n_)] - wide_[0]);
}

int Bounds::search(double x) const {
  // First bound above x; the interval ends there.
  const auto above = std::upper_bound(wide_.begin(), wide_.end(), x);
  return static_cast<int>(above - wide_.begin()) - 1;
}

}  // namespace sound
