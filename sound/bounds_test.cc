#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "sound/bounds.h"

namespace sound {
namespace {

TEST(SoundBounds, AccumulateInSinglePrecision) {
  const auto b40 = createGap(40);
  ASSERT_EQ(b40.size(), 41u);
  EXPECT_EQ(b40[0], -0.99999994f);
  EXPECT_EQ(b40[20], 2.1606684e-07f);
  EXPECT_EQ(b40[40], 1.0000004f);
  const auto b10 = createGap(10);
  EXPECT_EQ(b10[0], -1.0f);
  EXPECT_EQ(b10[10], 0.99999994f);
  EXPECT_EQ(createGap(2), (std::vector<float>{-1.0f, 0.0f, 1.0f}));
  EXPECT_EQ(createGap(1), (std::vector<float>{-1.0f, 1.0f}));
}

// The reference: the intervals tested one by one in increasing order.
int linear_interval(double x, const std::vector<float>& b) {
  for (size_t i = 0; i + 1 < b.size(); ++i)
    if (static_cast<double>(b[i]) <= x && x < static_cast<double>(b[i + 1]))
      return static_cast<int>(i);
  return -1;
}

TEST(SoundBounds, LookupAgreesWithTheLinearScan) {
  std::mt19937_64 rng(7);
  // 600000 intervals (more than a configuration may ask) leave room for one
  // look-up cell per interval, so cells holding several bounds occur too.
  for (const int n : {1, 2, 3, 7, 10, 39, 40, 41, 64, 100, 255, 1000, 4099, 65536, 600000}) {
    const bool huge = n > 100000;
    const Bounds bounds(n);
    const auto& table = bounds.table();
    std::vector<double> probes = {0.0,
                                  -0.0,
                                  1.0,
                                  -1.0,
                                  1e300,
                                  -1e300,
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::denorm_min(),
                                  -std::numeric_limits<double>::denorm_min()};
    // Every bound and its neighbours (fewer for the largest tables, whose
    // linear reference is slow).
    const size_t stride = huge ? 4999 : n > 5000 ? 97 : 1;
    for (size_t k = 0; k < table.size(); k += (k < 50 || k + 50 > table.size()) ? 1 : stride) {
      const float f = table[k];
      const double d = f;
      probes.push_back(d);
      probes.push_back(std::nextafter(d, -2.0));
      probes.push_back(std::nextafter(d, 2.0));
      probes.push_back(std::nextafterf(f, -2.0f));
      probes.push_back(std::nextafterf(f, 2.0f));
    }
    // The edges of the look-up cells, and their neighbours.
    const Bounds::Lookup lookup = bounds.lookup();
    if (huge) {
      const int32_t* end = lookup.cells + static_cast<size_t>(lookup.cell_count);
      ASSERT_GT(std::count(lookup.cells, end, Bounds::Lookup::kSeveralBounds), 0);
    }
    for (int i = 0; i < (huge ? 300 : 3000); ++i) {
      const double c = static_cast<double>(rng() % static_cast<uint64_t>(lookup.cell_count + 2));
      const double edge = lookup.wide[0] + c / lookup.cell_scale;
      probes.push_back(edge);
      probes.push_back(std::nextafter(edge, -2.0));
      probes.push_back(std::nextafter(edge, 2.0));
    }
    std::uniform_real_distribution<double> wide(-1.5, 1.5);
    for (int i = 0; i < (huge ? 300 : n > 5000 ? 2000 : 20000); ++i) probes.push_back(wide(rng));
    for (const double x : probes) {
      const int expected = linear_interval(x, table);
      ASSERT_EQ(bounds.checkInterval(x), expected) << "n=" << n << " x=" << x;
      ASSERT_EQ(bounds.column(x), expected < 0 ? n : expected);
    }
  }
}

TEST(SoundBounds, EdgeSamplesWithFortyIntervals) {
  const Bounds b(40);
  EXPECT_EQ(b.checkInterval(1.0), 39);
  EXPECT_EQ(b.checkInterval(0.0), 19);
  EXPECT_EQ(b.checkInterval(-1.0), -1);
  EXPECT_EQ(b.column(-1.0), 40);
  const double top = 1.0000004f;  // bound 40 widened
  EXPECT_EQ(b.checkInterval(std::nextafter(top, 0.0)), 39);
  EXPECT_EQ(b.checkInterval(top), -1);
  EXPECT_EQ(b.column(top), 40);
}

}  // namespace
}  // namespace sound
