// The amplitude intervals: a table of n+1 single-precision bounds from about -1
// to about 1, and the interval that a sample falls in.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace sound {

// Fills n+1 bounds the way the stored descriptors were made: a = 2/n, then
// n+1 steps of s = s + a from s = -1 - a, every step rounded to single
// precision, so the rounding errors accumulate (for n = 40, bound 0 is
// -0.99999994 and bound 40 is 1.0000004).
std::vector<float> createGap(int n);

// The bound table with what the O(1) look-up needs. Interval i is the
// half-open range [bound i, bound i+1), the bounds compared as doubles.
class Bounds {
 public:
  explicit Bounds(int n);

  int intervals() const { return n_; }
  const std::vector<float>& table() const { return table_; }

  // Interval number of `x` from 0 to n-1, or -1 when x lies below bound 0, at
  // or above bound n, or is not a number. The same answer as testing the
  // intervals in increasing order, found from the nominal uniform layout and
  // corrected against the real bounds (a binary search when the guess is off by
  // more than one interval, which the accumulated rounding allows for large n).
  int checkInterval(double x) const {
    if (!(x >= wide_[0]) || x >= wide_[n_]) return -1;
    double guess = (x - wide_[0]) * scale_;
    guess = std::min(guess, static_cast<double>(n_ - 1));
    int i = static_cast<int>(guess);
    if (x < wide_[i]) {
      --i;  // i was above 0 since x >= bound 0
      if (x < wide_[i]) return search(x);
    } else if (x >= wide_[i + 1]) {
      ++i;  // i + 1 stays below n since x < bound n
      if (x >= wide_[i + 1]) return search(x);
    }
    return i;
  }

  // The histogram column of `x`: its interval, or n (the spare column that no
  // in-range sample reaches) when it lies in none.
  int column(double x) const {
    const int i = checkInterval(x);
    return i < 0 ? n_ : i;
  }

 private:
  int search(double x) const;

  int n_;
  std::vector<float> table_;
  std::vector<double> wide_;  // the bounds widened to double
  double scale_;              // intervals per unit of amplitude
};

// Free-function form of Bounds::checkInterval.
inline int checkInterval(double x, const Bounds& bounds) { return bounds.checkInterval(x); }

}  // namespace sound
