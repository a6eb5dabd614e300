#include "sound/ranking/envelope.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace sound_ranking {

namespace {

constexpr int kLevels = 16;
// Levels of the envelope's 64 dB: the loudest band sits in the top step.
constexpr double kRangeDb = kLevels * kEnvelopeStepDb;
// A query's levels are floored this far below its loudest band, as the
// sound's are by level 0.
constexpr double kQueryFloorDb = kRangeDb - kEnvelopeStepDb;
// A band whose whole energy over the overlap lies this far below the
// query's strongest band holds no information about the query.
constexpr double kEmptyBandDb = 30;

std::array<size_t, kEnvelopeBands + 1> band_edges(size_t bins, const Params& p) {
  const double lo = std::clamp<double>(p.bin_lo, 1, static_cast<double>(bins));
  const double hi = std::clamp<double>(p.bin_hi, lo, static_cast<double>(bins));
  std::array<size_t, kEnvelopeBands + 1> e{};
  for (int i = 0; i <= kEnvelopeBands; ++i)
    e[i] = static_cast<size_t>(std::lround(lo * std::pow(hi / lo, static_cast<double>(i) / kEnvelopeBands)));
  return e;
}

double decibels(double power) { return 10 * std::log10(power); }

// The same in single precision, for the many cells of a query (about twice
// as fast, and far finer than the envelope's 4 dB steps).
float decibels(float power) { return 3.0103f * std::log2(power); }

}  // namespace

size_t envelope_blocks(size_t frames) { return (frames + kEnvelopeFrames - 1) / kEnvelopeFrames; }

std::vector<float> band_powers(const Spectrum& s, const Params& p) {
  const auto e = band_edges(s.bins, p);
  std::vector<float> out(s.frames * kEnvelopeBands, 0.0f);
  for (size_t t = 0; t < s.frames; ++t)
    for (int b = 0; b < kEnvelopeBands; ++b) {
      float sum = 0;
      for (size_t k = e[b]; k < e[b + 1]; ++k) sum += s.at(t, k);
      out[t * kEnvelopeBands + b] = sum;
    }
  return out;
}

std::vector<uint8_t> envelope(std::span<const float> bands, size_t frames) {
  const size_t blocks = envelope_blocks(frames);
  std::vector<double> sum(blocks * kEnvelopeBands, 0.0);
  for (size_t t = 0; t < frames && (t + 1) * kEnvelopeBands <= bands.size(); ++t)
    for (int b = 0; b < kEnvelopeBands; ++b)
      sum[t / kEnvelopeFrames * kEnvelopeBands + b] += bands[t * kEnvelopeBands + b];
  double loudest = 0;
  for (double v : sum) loudest = std::max(loudest, v);
  std::vector<uint8_t> out(blocks * kEnvelopeBlockBytes, 0);
  if (!(loudest > 0) || !std::isfinite(loudest)) return out;
  for (size_t i = 0; i < sum.size(); ++i) {
    if (!(sum[i] > 0)) continue;
    const double step = std::floor((decibels(sum[i] / loudest) + kRangeDb) / kEnvelopeStepDb);
    const auto level = static_cast<uint8_t>(std::clamp(step, 0.0, kLevels - 1.0));
    out[i / 2] |= static_cast<uint8_t>(level << (4 * (i % 2)));
  }
  return out;
}

double envelope_agreement(std::span<const uint8_t> env, std::span<const float> query_bands,
                          size_t query_frames, double offset, double speed) {
  constexpr int B = kEnvelopeBands;
  const size_t blocks = env.size() / kEnvelopeBlockBytes;
  query_frames = std::min(query_frames, query_bands.size() / B);
  if (blocks == 0 || query_frames == 0 || !(speed > 0) || !std::isfinite(offset)) return 0;
  const double first = std::max(0.0, offset);
  const double last = offset + speed * static_cast<double>(query_frames - 1);
  if (last < 0 || first >= static_cast<double>(blocks * kEnvelopeFrames)) return 0;
  const size_t k0 = static_cast<size_t>(first / kEnvelopeFrames);
  const size_t k1 = std::min(blocks - 1, static_cast<size_t>(last / kEnvelopeFrames));
  if (k1 < k0) return 0;

  // The query's mean band powers over the frames falling in each block.
  const size_t n = k1 - k0 + 1;
  std::vector<double> q(n * B, 0.0);
  std::vector<int> count(n, 0);
  for (size_t t = 0; t < query_frames; ++t) {
    const double x = offset + speed * static_cast<double>(t);
    if (x < 0) continue;
    const size_t k = static_cast<size_t>(x / kEnvelopeFrames);
    if (k < k0 || k > k1) continue;
    ++count[k - k0];
    for (int b = 0; b < B; ++b) q[(k - k0) * B + b] += query_bands[t * B + b];
  }
  // Blocks that the query covers for at least half their frames.
  std::vector<size_t> kept;
  for (size_t i = 0; i < n; ++i)
    if (2 * count[i] >= kEnvelopeFrames) kept.push_back(i);
  if (kept.size() < 3) return 0;

  double loudest = 0;
  std::array<double, B> total{};
  for (size_t i : kept)
    for (int b = 0; b < B; ++b) {
      q[i * B + b] /= count[i];
      loudest = std::max(loudest, q[i * B + b]);
      total[b] += q[i * B + b];
    }
  if (!(loudest > 0) || !std::isfinite(loudest)) return 0;
  const double strongest = *std::max_element(total.begin(), total.end());
  std::array<bool, B> used{};
  int bands = 0;
  for (int b = 0; b < B; ++b) bands += used[b] = total[b] > 0 && decibels(total[b] / strongest) >= -kEmptyBandDb;
  if (bands < 2) return 0;

  // Levels in dB, each block's mean over the used bands removed.
  const double floor = loudest * std::pow(10.0, -kQueryFloorDb / 10);
  const size_t m = kept.size();
  std::vector<double> ql(m * B, 0.0), dl(m * B, 0.0);
  for (size_t j = 0; j < m; ++j) {
    const size_t k = k0 + kept[j];
    double qmean = 0, dmean = 0;
    for (int b = 0; b < B; ++b) {
      if (!used[b]) continue;
      const int level = (env[k * kEnvelopeBlockBytes + b / 2] >> (4 * (b % 2))) & 0xF;
      ql[j * B + b] = decibels(static_cast<float>(std::max(q[kept[j] * B + b], floor)));
      dl[j * B + b] = level * kEnvelopeStepDb - kRangeDb + kEnvelopeStepDb / 2.0;
      qmean += ql[j * B + b];
      dmean += dl[j * B + b];
    }
    for (int b = 0; b < B; ++b) {
      ql[j * B + b] -= qmean / bands;
      dl[j * B + b] -= dmean / bands;
    }
  }
  // Per band correlation over time, weighted by the query's variance.
  double weighted = 0, weights = 0;
  for (int b = 0; b < B; ++b) {
    if (!used[b]) continue;
    double qm = 0, dm = 0;
    for (size_t j = 0; j < m; ++j) {
      qm += ql[j * B + b];
      dm += dl[j * B + b];
    }
    qm /= static_cast<double>(m);
    dm /= static_cast<double>(m);
    double qd = 0, qq = 0, dd = 0;
    for (size_t j = 0; j < m; ++j) {
      const double a = ql[j * B + b] - qm, c = dl[j * B + b] - dm;
      qd += a * c;
      qq += a * a;
      dd += c * c;
    }
    if (qq > 0 && dd > 0) weighted += qd / std::sqrt(qq * dd) * qq;
    weights += qq;
  }
  return weights > 0 ? weighted / weights : 0;
}

}  // namespace sound_ranking
