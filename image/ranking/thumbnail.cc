#include "image/ranking/thumbnail.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <tuple>
#include <utility>

namespace image_ranking {

int32_t block_begin(int32_t i, int32_t n) {
  return static_cast<int32_t>(static_cast<int64_t>(i) * n / kThumb);
}

int32_t block_end(int32_t i, int32_t n) {
  return std::max(block_begin(i, n) + 1, static_cast<int32_t>(static_cast<int64_t>(i + 1) * n / kThumb));
}

Means block_means(const LumaTable& luma, int32_t top, int32_t left, int32_t lines, int32_t columns) {
  std::array<int32_t, kThumb> x0, x1;
  for (int j = 0; j < kThumb; ++j) {
    x0[j] = left + block_begin(j, columns);
    x1[j] = left + block_end(j, columns);
  }
  Means m{};
  for (int i = 0; i < kThumb; ++i) {
    const int32_t y0 = top + block_begin(i, lines), y1 = top + block_end(i, lines);
    for (int j = 0; j < kThumb; ++j) m[i * kThumb + j] = luma.mean(y0, x0[j], y1, x1[j]);
  }
  return m;
}

Thumb rank_cells(const Means& means) {
  // Keys: the mean in 1/256 steps of a grey level (means closer than a step
  // may share their rank, as equal ones do), sorted by two counting passes.
  std::array<uint16_t, kThumbCells> key;
  for (int k = 0; k < kThumbCells; ++k)
    key[k] = static_cast<uint16_t>(std::clamp(means[k], 0.0, 255.0) * 256 + 0.5);
  std::array<uint16_t, kThumbCells> first, order;
  std::array<uint16_t, 256> low{}, high{};
  for (uint16_t k : key) {
    ++low[k & 0xff];
    ++high[k >> 8];
  }
  uint16_t at_low = 0, at_high = 0;
  for (int b = 0; b < 256; ++b) {
    std::swap(at_low, low[b]);
    at_low = static_cast<uint16_t>(at_low + low[b]);
    std::swap(at_high, high[b]);
    at_high = static_cast<uint16_t>(at_high + high[b]);
  }
  for (int k = 0; k < kThumbCells; ++k) first[low[key[k] & 0xff]++] = static_cast<uint16_t>(k);
  for (uint16_t c : first) order[high[key[c] >> 8]++] = c;
  Thumb t{};
  for (int i = 0; i < kThumbCells;) {
    int j = i;
    while (j + 1 < kThumbCells && key[order[j + 1]] == key[order[i]]) ++j;
    // ranks i..j share (i + j) / 2; stored doubled, centred on (cells - 1) / 2
    for (int k = i; k <= j; ++k) t[order[k]] = static_cast<int16_t>(i + j - (kThumbCells - 1));
    i = j + 1;
  }
  return t;
}

Thumb oriented(const Thumb& t, int k) {
  Thumb out{};
  const int n = kThumb - 1;
  for (int i = 0; i < kThumb; ++i)
    for (int j = 0; j < kThumb; ++j) {
      int si = i, sj = j;  // source cell of output cell (i, j)
      if (k >= 4) sj = n - sj;
      switch (k % 4) {
        case 1: std::tie(si, sj) = std::pair(n - sj, si); break;
        case 2: std::tie(si, sj) = std::pair(n - si, n - sj); break;
        case 3: std::tie(si, sj) = std::pair(sj, n - si); break;
        default: break;
      }
      out[i * kThumb + j] = t[si * kThumb + sj];
    }
  return out;
}

Window window(int32_t lines, int32_t columns, int w) {
  for (const WindowScale& s : kWindowScales) {
    const int count = s.positions * s.positions;
    if (w >= count) {
      w -= count;
      continue;
    }
    auto side = [&](int32_t n) {
      return std::max<int32_t>(1, static_cast<int32_t>(std::lround(static_cast<double>(n) * s.per_mille / 1000.0)));
    };
    Window win{0, 0, side(lines), side(columns)};
    win.top = static_cast<int32_t>(static_cast<int64_t>(lines - win.lines) * (w / s.positions) / (s.positions - 1));
    win.left = static_cast<int32_t>(static_cast<int64_t>(columns - win.columns) * (w % s.positions) / (s.positions - 1));
    return win;
  }
  return Window{0, 0, lines, columns};
}

bool has_wedges(const LumaTable& luma) {
  const int32_t h = luma.lines(), w = luma.columns();
  if (h < 8 || w < 8) return false;
  const int32_t ky = std::max(2, h / 32), kx = std::max(2, w / 32);
  double lo = 255, hi = 0;
  for (int32_t top : {0, h - ky})
    for (int32_t left : {0, w - kx})
      for (int32_t i = top; i < top + ky; ++i)
        for (int32_t j = left; j < left + kx; ++j) {
          const double v = luma.at(i, j);
          lo = std::min(lo, v);
          hi = std::max(hi, v);
        }
  return hi - lo <= kWedgeTolerance;
}

std::optional<Means> turned_back_means(const LumaTable& luma, double degrees) {
  const double hq = luma.lines(), wq = luma.columns();
  const double a = std::abs(degrees) * std::numbers::pi / 180;
  const double c = std::cos(a), s = std::sin(a);
  // canvas: wq = w c + h s, hq = w s + h c
  const double det = c * c - s * s;
  const double w = (wq * c - hq * s) / det, h = (hq * c - wq * s) / det;
  if (!(w >= 2 && h >= 2)) return std::nullopt;
  const double t = degrees * std::numbers::pi / 180;
  const double ct = std::cos(t), st = std::sin(t);
  auto sample = [&](double x, double y) {  // bilinear, clamped to the canvas
    x = std::clamp(x, 0.0, wq - 1);
    y = std::clamp(y, 0.0, hq - 1);
    const auto x0 = static_cast<int32_t>(x), y0 = static_cast<int32_t>(y);
    const int32_t x1 = std::min(x0 + 1, luma.columns() - 1), y1 = std::min(y0 + 1, luma.lines() - 1);
    const double fx = x - x0, fy = y - y0;
    return (luma.at(y0, x0) * (1 - fx) + luma.at(y0, x1) * fx) * (1 - fy) +
           (luma.at(y1, x0) * (1 - fx) + luma.at(y1, x1) * fx) * fy;
  };
  constexpr int kSamples = 4;
  constexpr int n = kThumb * kSamples;
  Means m{};
  for (int i = 0; i < n; ++i) {
    const double y = (i + 0.5) / n * h - h / 2;
    for (int j = 0; j < n; ++j) {
      const double x = (j + 0.5) / n * w - w / 2;
      m[(i / kSamples) * kThumb + j / kSamples] +=
          sample(x * ct - y * st + wq / 2 - 0.5, x * st + y * ct + hq / 2 - 0.5);
    }
  }
  for (double& v : m) v /= kSamples * kSamples;
  return m;
}

}  // namespace image_ranking
