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
  const double lo = wide_[0];
  const double span = wide_[static_cast<size_t>(n_)] - lo;
  scale_ = n_ / span;

  // Cells: up to 64 per interval, at most about a million in all. The cell of
  // x is floor((x - lo) * cell_scale_), the very expression column() computes.
  // Since it never decreases as x grows, a bound b lies at or below every x of
  // cell c when floor(t(b)) < c, and above every x of it when floor(t(b)) > c;
  // only the cells floor(t(b)) themselves may hold two intervals.
  const int per_interval = std::max(1, std::min(64, (1 << 20) / n_));
  cell_scale_ = static_cast<double>(per_interval) * n_ / span;
  auto cell_of = [&](double b) { return static_cast<size_t>((b - lo) * cell_scale_); };
  const size_t count = cell_of(wide_[static_cast<size_t>(n_)]) + 1;
  std::vector<int> bounds_in(count, 0), last_bound(count, 0);
  for (int j = 0; j <= n_; ++j) {
    const size_t c = cell_of(wide_[static_cast<size_t>(j)]);
    ++bounds_in[c];
    last_bound[c] = j;
  }
  cells_.assign(count, 0);
  int below = 0;  // bounds lying below the current cell
  for (size_t c = 0; c < count; ++c) {
    // Cell 0 holds bound 0 and the last cell holds bound n, so a clean cell
    // has between 1 and n bounds below it: interval below - 1.
    if (bounds_in[c] == 0) {
      cells_[c] = below - 1;
    } else if (bounds_in[c] == 1) {
      cells_[c] = -1 - last_bound[c];
    } else {
      cells_[c] = Lookup::kSeveralBounds;
    }
    below += bounds_in[c];
  }
  cells_.push_back(n_);  // the cell of every sample outside [bound 0, bound n)
}

}  // namespace sound
