#include "sound/ranking/spectrum.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "sound/ranking/samples.h"

namespace sound_ranking {
namespace {

std::vector<float> sine(double hz, size_t n, double amplitude = 0.5) {
  std::vector<float> x(n);
  for (size_t i = 0; i < n; ++i)
    x[i] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * i / kSampleRate));
  return x;
}

size_t loudest_bin(const Spectrum& s, size_t frame) {
  size_t best = 0;
  for (size_t b = 1; b < s.bins; ++b)
    if (s.at(frame, b) > s.at(frame, best)) best = b;
  return best;
}

TEST(SamplesTest, LittleEndianDoublesTrailingBytesIgnoredNonFiniteZeroed) {
  const double xs[] = {0.25, -1.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity(), 1e300};
  std::string bytes;
  for (double x : xs) {
    uint64_t bits = std::bit_cast<uint64_t>(x);
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<char>(bits >> (8 * i)));
  }
  bytes += "abcdefg";  // seven bytes: no sample
  const std::vector<float> s = samples_from_bytes(bytes);
  ASSERT_EQ(s.size(), 5u);
  EXPECT_EQ(s[0], 0.25f);
  EXPECT_EQ(s[1], -1.0f);
  EXPECT_EQ(s[2], 0.0f);
  EXPECT_EQ(s[3], 0.0f);
  EXPECT_EQ(s[4], 1e4f);  // clamped
  EXPECT_TRUE(samples_from_bytes("1234567").empty());
}

TEST(SpectrumTest, FrameCountCoversEverySample) {
  EXPECT_EQ(frame_count(0), 0u);
  EXPECT_EQ(frame_count(1), 1u);
  EXPECT_EQ(frame_count(512), 1u);
  EXPECT_EQ(frame_count(513), 2u);
  EXPECT_EQ(frame_count(512 + 128), 2u);
  EXPECT_EQ(frame_count(512 + 129), 3u);
  EXPECT_EQ(spectrum({}).frames, 0u);
  const Spectrum s = spectrum(sine(1000, 700));
  EXPECT_EQ(s.frames, 3u);
  EXPECT_EQ(s.bins, 257u);
  EXPECT_EQ(s.power.size(), 3u * 257u);
}

TEST(SpectrumTest, SineOfABinFrequencyPeaksInThatBin) {
  for (size_t bin : {5u, 32u, 100u, 200u}) {
    const double hz = bin * static_cast<double>(kSampleRate) / kParams.fft_size;
    const Spectrum s = spectrum(sine(hz, 4096));
    for (size_t t = 0; t + 4 < s.frames; ++t) EXPECT_EQ(loudest_bin(s, t), bin) << hz << " Hz";
    // Hann window: the neighbours hold a quarter of the amplitude, the next
    // ones almost nothing.
    EXPECT_NEAR(s.at(2, bin - 1) / s.at(2, bin), 0.25, 0.01);
    EXPECT_LT(s.at(2, bin + 3) / s.at(2, bin), 1e-6);
  }
}

TEST(SpectrumTest, SilenceHasNoPower) {
  const Spectrum s = spectrum(std::vector<float>(2000, 0.0f));
  for (float v : s.power) EXPECT_EQ(v, 0.0f);
}

}  // namespace
}  // namespace sound_ranking
