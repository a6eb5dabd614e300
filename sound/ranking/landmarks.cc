#include "sound/ranking/landmarks.h"

#include <algorithm>
#include <cmath>

#include "sound/ranking/spectrum.h"

namespace sound_ranking {

namespace {

struct Field {
  int shift;
  int levels;
};
// band:5 r1:7 r2:7 u:3 g:4, high to low.
constexpr Field kBand{21, 32}, kR1{14, 128}, kR2{7, 128}, kU{4, 8}, kG{0, 16};

uint32_t cell(float v, const Field& f) {
  const float c = std::floor(v);
  if (!(c > 0)) return 0;
  return c >= f.levels - 1 ? f.levels - 1 : static_cast<uint32_t>(c);
}

Features features(const Peak& a, const Peak& b, const Peak& c, const Params& p) {
  Features f;
  const float fa = std::max(a.freq, 1.0f);
  f.band = (std::log2(fa) - std::log2(static_cast<float>(std::max(1, p.bin_lo)))) *
           static_cast<float>(p.band_steps);
  auto ratio = [&](const Peak& x) {
    const float r = std::log2(std::max(x.freq, 1.0f) / fa);
    return (std::clamp(r, -2.0f, 1.999f) + 2.0f) * static_cast<float>(p.ratio_steps);
  };
  f.r1 = ratio(b);
  f.r2 = ratio(c);
  const float db = static_cast<float>(b.frame - a.frame);
  const float dc = static_cast<float>(c.frame - a.frame);
  // u in (0, 1]: cells [0, 1/steps), ... with u = 1 in the last.
  f.u = std::min(db / dc * static_cast<float>(p.gap_ratio_steps),
                 static_cast<float>(p.gap_ratio_steps) - 0.5f);
  f.g = std::log2(dc) * static_cast<float>(p.gap_steps);
  return f;
}

template <typename Emit>
void for_each_triplet(std::span<const Peak> peaks, const Params& p, Emit emit) {
  const size_t k = static_cast<size_t>(std::max(0, p.targets));
  std::vector<size_t> near;
  for (size_t i = 0; i < peaks.size(); ++i) {
    const Peak& a = peaks[i];
    near.clear();
    for (size_t j = i + 1; j < peaks.size(); ++j) {
      const Peak& t = peaks[j];
      if (t.frame <= a.frame) continue;
      if (t.frame > a.frame + static_cast<uint32_t>(p.target_dt)) break;
      const int64_t df = static_cast<int64_t>(t.bin) - static_cast<int64_t>(a.bin);
      if (df > p.target_df || -df > p.target_df) continue;
      near.push_back(j);
    }
    // The strongest followers: a weak peak that noise adds or hides then
    // changes few triplets. Back in time order (peaks are sorted) after.
    if (near.size() > k) {
      std::partial_sort(near.begin(), near.begin() + static_cast<ptrdiff_t>(k), near.end(),
                        [&](size_t x, size_t y) {
                          return peaks[x].power != peaks[y].power ? peaks[x].power > peaks[y].power : x < y;
                        });
      near.resize(k);
      std::sort(near.begin(), near.end());
    }
    for (size_t x = 0; x < near.size(); ++x)
      for (size_t y = x + 1; y < near.size(); ++y)
        emit(features(a, peaks[near[x]], peaks[near[y]], p), a.frame);
  }
}

}  // namespace

uint32_t hash_of(const Features& f) {
  return cell(f.band, kBand) << kBand.shift | cell(f.r1, kR1) << kR1.shift |
         cell(f.r2, kR2) << kR2.shift | cell(f.u, kU) << kU.shift | cell(f.g, kG) << kG.shift;
}

std::vector<Landmark> landmarks(std::span<const Peak> peaks, const Params& p) {
  std::vector<Landmark> out;
  for_each_triplet(peaks, p, [&](const Features& f, uint32_t frame) {
    out.push_back({hash_of(f), frame});
  });
  return out;
}

std::vector<std::pair<Features, uint32_t>> triplet_features(std::span<const Peak> peaks,
                                                           const Params& p) {
  std::vector<std::pair<Features, uint32_t>> out;
  for_each_triplet(peaks, p, [&](const Features& f, uint32_t frame) { out.emplace_back(f, frame); });
  return out;
}

void probe_hashes(const Features& f, float margin, std::vector<uint32_t>& out, int max_fields) {
  out.clear();
  out.push_back(hash_of(f));
  const std::pair<float, Field> fields[] = {{f.band, kBand}, {f.r1, kR1}, {f.r2, kR2}, {f.u, kU}, {f.g, kG}};
  // Features near a boundary, nearest first: (distance, bits to flip).
  std::pair<float, uint32_t> near[5];
  int n_near = 0;
  for (const auto& [v, field] : fields) {
    const float frac = v - std::floor(v);
    const float dist = std::min(frac, 1 - frac);
    if (dist >= margin) continue;
    const float moved = frac < 0.5f ? std::floor(v) - 0.5f : std::floor(v) + 1.5f;
    const uint32_t diff = (cell(v, field) ^ cell(moved, field)) << field.shift;
    if (diff != 0) near[n_near++] = {dist, diff};  // 0: clamped at an end
  }
  // Each one taken, nearest first, doubles the set with its neighbour cell.
  for (int k = 0; k < std::min(n_near, max_fields); ++k) {
    int nearest = k;
    for (int j = k + 1; j < n_near; ++j)
      if (near[j].first < near[nearest].first) nearest = j;
    std::swap(near[k], near[nearest]);
    const size_t n = out.size();
    for (size_t i = 0; i < n; ++i) out.push_back(out[i] ^ near[k].second);
  }
}

std::vector<Landmark> fingerprint(std::span<const float> samples, const Params& p) {
  const Spectrum s = spectrum(samples, p);
  const std::vector<Peak> peaks = find_peaks(s, p);
  return landmarks(peaks, p);
}

}  // namespace sound_ranking
