#include "sound/ranking/envelope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "sound/ranking/describe.h"
#include "sound/ranking/peaks.h"
#include "sound/ranking/spectrum.h"

namespace sound_ranking {
namespace {

int level(const std::vector<uint8_t>& env, size_t block, int band) {
  return (env[block * kEnvelopeBlockBytes + band / 2] >> (4 * (band % 2))) & 0xF;
}

// Tones that change every tenth of a second, over a little noise.
std::vector<float> tune(uint32_t seed, size_t n) {
  std::mt19937 g(seed);
  std::vector<float> x(n);
  double f = 300;
  for (size_t i = 0; i < n; ++i) {
    if (i % 1600 == 0) f = 200 + g() % 3000;
    x[i] = static_cast<float>(0.4 * std::sin(2 * std::numbers::pi * f * i / kSampleRate) +
                              0.001 * (static_cast<double>(g() % 2001) / 1000 - 1));
  }
  return x;
}

TEST(EnvelopeTest, LevelsStepDownFromTheLoudestBand) {
  // Three frames: a loud bin, another 20 dB down, then silence; one block.
  Spectrum s;
  s.frames = 3;
  s.bins = kParams.fft_size / 2 + 1;
  s.power.assign(s.frames * s.bins, 0.0f);
  s.power[10] = 1.0f;
  s.power[100] = 0.01f;
  const std::vector<float> bands = band_powers(s);
  ASSERT_EQ(bands.size(), 3u * kEnvelopeBands);
  // Each bin lands in one band, low bins in low bands.
  int loud = -1, soft = -1;
  for (int b = 0; b < kEnvelopeBands; ++b) {
    if (bands[b] == 1.0f) loud = b;
    if (bands[b] == 0.01f) soft = b;
    EXPECT_EQ(bands[kEnvelopeBands + b], 0.0f);
  }
  ASSERT_GE(loud, 0);
  ASSERT_GT(soft, loud);
  const std::vector<uint8_t> env = envelope(bands, s.frames);
  ASSERT_EQ(env.size(), envelope_blocks(3) * kEnvelopeBlockBytes);
  for (int b = 0; b < kEnvelopeBands; ++b)
    EXPECT_EQ(level(env, 0, b), b == loud ? 15 : b == soft ? 15 - 20 / kEnvelopeStepDb : 0) << b;
  // Silence gives level 0 everywhere, and no frame no block.
  EXPECT_EQ(envelope(std::vector<float>(5 * kEnvelopeBands, 0.0f), 5),
            std::vector<uint8_t>(envelope_blocks(5) * kEnvelopeBlockBytes, 0));
  EXPECT_TRUE(envelope({}, 0).empty());
}

TEST(EnvelopeTest, AnExcerptAgreesWhereItWasCutOnly) {
  const std::vector<float> x = tune(3, 6 * kSampleRate);
  const SoundPrint print = describe(x);
  EXPECT_EQ(print.landmarks.size(), landmarks(find_peaks(spectrum(x))).size());
  ASSERT_EQ(print.envelope.size(), envelope_blocks(frame_count(x.size())) * kEnvelopeBlockBytes);
  // One second from 2.5 s, 6 dB down, with its top half-octave cut.
  const size_t from = 5 * kSampleRate / 2;
  std::vector<float> q(x.begin() + from, x.begin() + from + kSampleRate);
  for (float& v : q) v *= 0.5f;
  const Spectrum qs = spectrum(q);
  std::vector<float> bands = band_powers(qs);
  for (size_t t = 0; t < qs.frames; ++t) bands[t * kEnvelopeBands + kEnvelopeBands - 1] = 0;
  const double at = static_cast<double>(from) / kParams.hop;
  EXPECT_GT(envelope_agreement(print.envelope, bands, qs.frames, at, 1.0), 0.9);
  EXPECT_LT(envelope_agreement(print.envelope, bands, qs.frames, at + 100, 1.0), 0.5);
  EXPECT_LT(envelope_agreement(print.envelope, bands, qs.frames, at - 150, 1.0), 0.5);
  // Fewer than three blocks in common, or nothing to compare: 0.
  const double end = static_cast<double>(frame_count(x.size()));
  EXPECT_EQ(envelope_agreement(print.envelope, bands, qs.frames, end - 8, 1.0), 0.0);
  EXPECT_EQ(envelope_agreement(print.envelope, bands, qs.frames, -static_cast<double>(qs.frames), 1.0), 0.0);
  EXPECT_EQ(envelope_agreement({}, bands, qs.frames, at, 1.0), 0.0);
  EXPECT_EQ(envelope_agreement(print.envelope, std::vector<float>(bands.size(), 0.0f), qs.frames, at, 1.0), 0.0);
  EXPECT_EQ(envelope_agreement(print.envelope, bands, qs.frames, std::nan(""), 1.0), 0.0);
}

TEST(EnvelopeTest, FasterQueryAgreesAtItsSpeed) {
  const std::vector<float> x = tune(4, 6 * kSampleRate);
  const SoundPrint print = describe(x);
  // From 1 s, played 3 % faster: sample i of the query is sample 1.03 i.
  std::vector<float> q(2 * kSampleRate);
  for (size_t i = 0; i < q.size(); ++i) q[i] = x[kSampleRate + static_cast<size_t>(std::lround(1.03 * i))];
  const Spectrum qs = spectrum(q);
  const std::vector<float> bands = band_powers(qs);
  const double at = static_cast<double>(kSampleRate) / kParams.hop;
  const double right = envelope_agreement(print.envelope, bands, qs.frames, at, 1.03);
  EXPECT_GT(right, 0.7);  // its tones move a little across the bands
  EXPECT_GT(right, envelope_agreement(print.envelope, bands, qs.frames, at, 0.97));
}

}  // namespace
}  // namespace sound_ranking
