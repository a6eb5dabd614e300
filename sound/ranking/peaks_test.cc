#include "sound/ranking/peaks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace sound_ranking {
namespace {

float uniform(std::mt19937& g) { return static_cast<float>(g() % 1000) / 1000.0f; }

// The definition, cell by cell.
std::vector<Peak> brute_maxima(const Spectrum& s, const Params& p) {
  std::vector<Peak> out;
  float loudest = 0;
  for (size_t t = 0; t < s.frames; ++t)
    for (int b = p.bin_lo; b < p.bin_hi; ++b) loudest = std::max(loudest, s.at(t, b));
  const float floor = loudest * std::pow(10.0f, -p.floor_db / 10.0f);
  for (size_t t = 0; t < s.frames; ++t)
    for (int b = p.bin_lo; b < p.bin_hi; ++b) {
      const float v = s.at(t, b);
      bool top = v > 0 && v >= floor;
      for (int dt = -p.peak_radius_t; top && dt <= p.peak_radius_t; ++dt)
        for (int db = -p.peak_radius_f; top && db <= p.peak_radius_f; ++db) {
          const int64_t u = static_cast<int64_t>(t) + dt;
          const int c = b + db;
          if (u < 0 || u >= static_cast<int64_t>(s.frames) || c < p.bin_lo || c >= p.bin_hi) continue;
          if (s.at(u, c) > v) top = false;
        }
      if (top) out.push_back({static_cast<uint32_t>(t), static_cast<uint32_t>(b), 0, v});
    }
  return out;
}

TEST(PeaksTest, RunningMaxMatchesBruteForce) {
  std::mt19937 g(1);
  for (int round = 0; round < 200; ++round) {
    const size_t n = g() % 40;
    const int r = static_cast<int>(g() % 12);
    std::vector<float> in(n), out(n);
    for (float& v : in) v = static_cast<float>(g() % 7);  // many ties
    running_max(in, r, out);
    for (size_t i = 0; i < n; ++i) {
      float want = in[i];
      for (int64_t j = static_cast<int64_t>(i) - r; j <= static_cast<int64_t>(i) + r; ++j)
        if (j >= 0 && j < static_cast<int64_t>(n)) want = std::max(want, in[j]);
      ASSERT_EQ(out[i], want) << "n=" << n << " r=" << r << " i=" << i;
    }
  }
}

TEST(PeaksTest, LocalMaximaMatchBruteForceOnRandomSpectra) {
  std::mt19937 g(2);
  for (int round = 0; round < 60; ++round) {
    Params p;
    p.bin_lo = static_cast<int32_t>(g() % 5);
    p.bin_hi = p.bin_lo + 1 + static_cast<int32_t>(g() % 40);
    p.peak_radius_t = static_cast<int32_t>(g() % 5);
    p.peak_radius_f = static_cast<int32_t>(g() % 6);
    p.floor_db = 3 + static_cast<int32_t>(g() % 20);
    Spectrum s;
    s.frames = g() % 30;
    s.bins = 50;
    s.power.resize(s.frames * s.bins);
    // Coarse values so that plateaus (ties) are common; some zeros.
    for (float& v : s.power) v = std::pow(10.0f, static_cast<float>(g() % 6)) * (g() % 9 == 0 ? 0 : 1);
    const std::vector<Peak> got = local_maxima(s, p);
    const std::vector<Peak> want = brute_maxima(s, p);
    ASSERT_EQ(got.size(), want.size()) << "round " << round;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].frame, want[i].frame);
      EXPECT_EQ(got[i].bin, want[i].bin);
      EXPECT_EQ(got[i].power, want[i].power);
    }
  }
}

TEST(PeaksTest, DensityBoundKeepsTheStrongestAroundEachPeak) {
  std::mt19937 g(3);
  Params p;
  p.peak_radius_t = 0;
  p.peak_radius_f = 1;
  p.block_frames = 8;
  p.peaks_per_block = 3;
  Spectrum s;
  s.frames = 60;
  s.bins = 257;
  s.power.resize(s.frames * s.bins);
  for (float& v : s.power) v = 1 + uniform(g);
  const std::vector<Peak> all = local_maxima(s, p);
  const std::vector<Peak> kept = find_peaks(s, p);
  ASSERT_LT(kept.size(), all.size());
  size_t k = 0;
  for (const Peak& x : all) {
    size_t stronger = 0;
    for (const Peak& y : all)
      if (y.frame + 4 >= x.frame && y.frame <= x.frame + 4 &&
          (y.power > x.power || (y.power == x.power && (y.frame < x.frame || (y.frame == x.frame && y.bin < x.bin)))))
        ++stronger;
    const bool stays = stronger < 3;
    const bool found = k < kept.size() && kept[k].frame == x.frame && kept[k].bin == x.bin;
    EXPECT_EQ(found, stays) << x.frame << " " << x.bin;
    k += found;
  }
  EXPECT_EQ(k, kept.size());
}

TEST(PeaksTest, FrequencyIsRefinedBetweenBins) {
  // 1015.625 Hz is bin 32.5 of a 512-point spectrum at 16 kHz.
  std::vector<float> x(4096);
  for (size_t i = 0; i < x.size(); ++i)
    x[i] = static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * 1015.625 * i / kSampleRate));
  const std::vector<Peak> peaks = find_peaks(spectrum(x));
  ASSERT_FALSE(peaks.empty());
  for (const Peak& pk : peaks) EXPECT_NEAR(pk.freq, 32.5, 0.1);
}

}  // namespace
}  // namespace sound_ranking
