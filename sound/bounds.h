// The amplitude intervals: a table of n+1 single-precision bounds from about -1
// to about 1, and the interval that a sample falls in.
#pragma once

#include <algorithm>
#include <cstddef>
#include <climits>
#include <cstdint>
#include <vector>

namespace sound {

// Fills n+1 bounds the way the stored descriptors were made: a = 2/n, then
// n+1 steps of s = s + a from s = -1 - a, every step rounded to single
// precision, so the rounding errors accumulate (for n = 40, bound 0 is
// -0.99999994 and bound 40 is 1.0000004).
std::vector<float> createGap(int n);

// The bound table with what the fast look-ups need. Interval i is the
// half-open range [bound i, bound i+1), the bounds compared as doubles; every
// look-up gives the same answer as testing the intervals in increasing order.
class Bounds {
 public:
  explicit Bounds(int n);
  Bounds(const Bounds&) = delete;
  Bounds& operator=(const Bounds&) = delete;

  int intervals() const { return n_; }
  const std::vector<float>& table() const { return table_; }

  // The look-up as plain values, for hot loops: a copy held in registers is
  // not reloaded after every store into a histogram row.
  struct Lookup {
    const double* wide;  // the n+1 bounds widened to double
    int n;
    double scale;             // intervals per unit of amplitude
    const int32_t* cells;  // per cell its column, or which bound lies in it; then n
    double cell_scale;     // cells per unit of amplitude
    double cell_count;     // cells over [bound 0, bound n]

    // Interval number of `x` from 0 to n-1, or -1 when x lies below bound 0,
    // at or above bound n, or is not a number. Found from the nominal uniform
    // layout and corrected against the real bounds (a binary search when the
    // guess is off by more than one, which accumulated rounding allows for
    // large n).
    int checkInterval(double x) const {
      if (!(x >= wide[0]) || x >= wide[n]) return -1;
      const double guess = std::min((x - wide[0]) * scale, static_cast<double>(n - 1));
      int i = static_cast<int>(guess);
      if (x < wide[i]) {
        --i;  // i was above 0 since x >= bound 0
        if (x < wide[i]) return search(x);
      } else if (x >= wide[i + 1]) {
        ++i;  // i + 1 stays below n since x < bound n
        if (x >= wide[i + 1]) return search(x);
      }
      return i;
    }

    // The look-up cell of `x`, from 0 to cell_count: floor((x - bound 0) *
    // cell_scale), or cell_count (whose column is n) for x below bound 0,
    // above bound n, or not a number. The expression never decreases as x
    // grows, so a cell that holds no bound's own cell lies inside one
    // interval. Branch-free, so loops of it vectorise.
    int32_t cell(double x) const {
      const double t = (x - wide[0]) * cell_scale;
      return t >= 0 && t < cell_count ? static_cast<int32_t>(t)
                                      : static_cast<int32_t>(cell_count);
    }

    // Cells that hold one bound j say -1 - j; those that hold more say this.
    static constexpr int32_t kSeveralBounds = INT32_MIN;

    // The column of a sample whose cell is known.
    int column_in(int32_t c, double x) const {
      const int32_t known = cells[c];
      if (known >= 0) return known;
      int i;
      if (known != kSeveralBounds) {
        // Bounds 0 to j-1 lie below the cell, so x is in interval j or j-1.
        const int j = -1 - known;
        i = x >= wide[j] ? j : j - 1;
        if (i == n) i = -1;
      } else {
        i = checkInterval(x);
      }
      return i < 0 ? n : i;
    }

    // The histogram column of `x`: its interval, or n (the spare column that
    // no in-range sample reaches) when it lies in none.
    int column(double x) const { return column_in(cell(x), x); }

    int search(double x) const {
      // First bound above x; the interval ends there.
      return static_cast<int>(std::upper_bound(wide, wide + n + 1, x) - wide) - 1;
    }
  };

  Lookup lookup() const {
    return {wide_.data(), n_,           scale_, cells_.data(), cell_scale_,
            static_cast<double>(cells_.size() - 1)};
  }
  int checkInterval(double x) const { return lookup().checkInterval(x); }
  int column(double x) const { return lookup().column(x); }

 private:
  int n_;
  std::vector<float> table_;
  std::vector<double> wide_;
  double scale_;
  std::vector<int32_t> cells_;
  double cell_scale_;
};

}  // namespace sound
