#include "sound/ranking/peaks.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sound_ranking {

namespace {

constexpr float kLow = -std::numeric_limits<float>::infinity();

// running_max with caller-provided scratch of n + 2r floats each for the
// block maxima g (from each block's start) and h (to each block's end) of the
// input padded by r lows on each side: the window of padded j..j+w-1 is
// max(h[j], g[j + w - 1]).
void running_max_into(const float* in, size_t n, size_t r, float* out, float* g, float* h) {
  const size_t w = 2 * r + 1;
  const size_t m = n + 2 * r;
  auto padded = [&](size_t j) { return j < r || j >= n + r ? kLow : in[j - r]; };
  for (size_t j = 0; j < m; ++j) g[j] = (j % w == 0) ? padded(j) : std::max(g[j - 1], padded(j));
  for (size_t j = m; j-- > 0;) h[j] = (j + 1 == m || (j + 1) % w == 0) ? padded(j) : std::max(h[j + 1], padded(j));
  for (size_t i = 0; i < n; ++i) out[i] = std::max(h[i], g[i + w - 1]);
}

}  // namespace

void running_max(std::span<const float> in, int r, std::span<float> out) {
  const size_t n = in.size();
  const size_t rr = static_cast<size_t>(std::max(0, r));
  std::vector<float> g(n + 2 * rr), h(n + 2 * rr);
  running_max_into(in.data(), n, rr, out.data(), g.data(), h.data());
}

namespace {

// Running maximum along time of every bin at once, handed row by row to
// emit(t, row): the prefix/suffix scheme of running_max over blocks of
// w = 2r + 1 rows of the padded input, applied to whole rows so the inner
// loops run over contiguous memory. Output row t needs the suffix maxima of
// block t / w and the prefix maxima of the next block, so only three blocks
// of rows are held at a time.
template <typename Emit>
void time_max(const std::vector<float>& rows, size_t frames, size_t width, int radius, Emit emit) {
  if (frames == 0) return;
  const size_t r = static_cast<size_t>(std::max(0, radius));
  const size_t w = 2 * r + 1;
  const size_t m = frames + 2 * r;  // padded rows
  std::vector<float> low(width, kLow);
  auto row = [&](size_t j) -> const float* { return j < r || j >= frames + r ? low.data() : &rows[(j - r) * width]; };
  std::vector<float> h(w * width), g(w * width), g_next(w * width), out(width);
  // Prefix maxima of block k into dst (rows past the padded end stay low).
  auto prefix = [&](size_t k, std::vector<float>& dst) {
    for (size_t i = 0; i < w; ++i) {
      const size_t j = k * w + i;
      float* d = &dst[i * width];
      const float* x = j < m ? row(j) : low.data();
      if (i == 0) {
        std::copy(x, x + width, d);
      } else {
        const float* prev = d - width;
        for (size_t b = 0; b < width; ++b) d[b] = std::max(prev[b], x[b]);
      }
    }
  };
  prefix(0, g_next);
  for (size_t k = 0; k * w < frames; ++k) {
    std::swap(g, g_next);
    prefix(k + 1, g_next);
    for (size_t i = w; i-- > 0;) {
      const size_t j = k * w + i;
      float* d = &h[i * width];
      const float* x = j < m ? row(j) : low.data();
      if (i + 1 == w) {
        std::copy(x, x + width, d);
      } else {
        const float* next = d + width;
        for (size_t b = 0; b < width; ++b) d[b] = std::max(next[b], x[b]);
      }
    }
    for (size_t i = 0; i < w && k * w + i < frames; ++i) {
      // Window of padded rows t .. t + w - 1, t = k w + i: suffix of block k
      // from i, prefix of block k + 1 up to i - 1 (none when i = 0).
      const float* a = &h[i * width];
      if (i == 0) {
        emit(k * w, a);
        continue;
      }
      const float* c = &g_next[(i - 1) * width];
      for (size_t b = 0; b < width; ++b) out[b] = std::max(a[b], c[b]);
      emit(k * w + i, out.data());
    }
  }
}

float refine(const Spectrum& s, size_t t, size_t b) {
  if (b == 0 || b + 1 >= s.bins) return static_cast<float>(b);
  constexpr float kTiny = 1e-30f;
  const float l = std::log(s.at(t, b - 1) + kTiny);
  const float c = std::log(s.at(t, b) + kTiny);
  const float r = std::log(s.at(t, b + 1) + kTiny);
  const float d = l - 2 * c + r;
  if (!(d < 0)) return static_cast<float>(b);
  const float shift = std::clamp(0.5f * (l - r) / d, -0.5f, 0.5f);
  return static_cast<float>(b) + shift;
}

}  // namespace

std::vector<Peak> local_maxima(const Spectrum& s, const Params& p) {
  std::vector<Peak> peaks;
  const size_t lo = static_cast<size_t>(std::clamp<int32_t>(p.bin_lo, 0, static_cast<int32_t>(s.bins)));
  const size_t hi = static_cast<size_t>(std::clamp<int32_t>(p.bin_hi, 0, static_cast<int32_t>(s.bins)));
  if (s.frames == 0 || lo >= hi) return peaks;
  const size_t width = hi - lo;

  // Maxima along frequency of the band of interest, then along time.
  const size_t rf = static_cast<size_t>(std::max(0, p.peak_radius_f));
  std::vector<float> fmax(s.frames * width), g(width + 2 * rf), h(width + 2 * rf);
  float loudest = 0;
  for (size_t t = 0; t < s.frames; ++t) {
    float* row = &fmax[t * width];
    running_max_into(&s.power[t * s.bins + lo], width, rf, row, g.data(), h.data());
    for (size_t b = 0; b < width; ++b) loudest = std::max(loudest, row[b]);
  }
  if (!(loudest > 0)) return peaks;
  const float floor = loudest * std::pow(10.0f, -static_cast<float>(p.floor_db) / 10.0f);
  time_max(fmax, s.frames, width, p.peak_radius_t, [&](size_t t, const float* rect) {
    const float* v = &s.power[t * s.bins + lo];
    for (size_t b = 0; b < width; ++b)
      if (v[b] == rect[b] && v[b] > 0 && v[b] >= floor)
        peaks.push_back({static_cast<uint32_t>(t), static_cast<uint32_t>(lo + b), refine(s, t, lo + b), v[b]});
  });
  return peaks;
}

std::vector<Peak> find_peaks(const Spectrum& s, const Params& p) {
  const std::vector<Peak> peaks = local_maxima(s, p);
  const uint32_t half = static_cast<uint32_t>(std::max(0, p.block_frames / 2));
  const size_t keep = static_cast<size_t>(std::max(0, p.peaks_per_block));
  auto stronger = [](const Peak& a, const Peak& b) {
    if (a.power != b.power) return a.power > b.power;
    if (a.frame != b.frame) return a.frame < b.frame;
    return a.bin < b.bin;
  };
  // A peak stays when fewer than `keep` peaks within `half` frames of it are
  // stronger. The window moves with the peak, so a query cut anywhere in a
  // sound keeps the same peaks as the sound (away from its ends).
  std::vector<Peak> out;
  size_t lo = 0, hi = 0;
  for (size_t i = 0; i < peaks.size(); ++i) {
    const uint32_t t = peaks[i].frame;
    while (peaks[lo].frame + half < t) ++lo;
    while (hi < peaks.size() && peaks[hi].frame <= t + half) ++hi;
    size_t above = 0;
    for (size_t j = lo; j < hi && above < keep; ++j) above += stronger(peaks[j], peaks[i]);
    if (above < keep) out.push_back(peaks[i]);
  }
  return out;
}

}  // namespace sound_ranking
