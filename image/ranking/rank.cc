#include "image/ranking/rank.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "image/ranking/params.h"
#include "image/ranking/similarity.h"

namespace image_ranking {

namespace {

// The query laid out for scoring: its root histograms bin by bin (kTones
// values per bin, one per tone, or its own histogram alone when it has no
// tones), its thumbnail in every orientation, its turned-back thumbnails, and
// their norms.
struct PreparedQuery {
  static constexpr size_t kTones = 8;
  std::vector<float> tones;
  size_t bins = 0;
  size_t tone_count = 0;
  std::vector<Thumb> oriented;
  double norm = 0;
  std::vector<Thumb> turned;
  std::vector<double> turned_norms;
};

double norm(const Thumb& t) { return std::sqrt(static_cast<double>(dot(t.data(), t.data()))); }

PreparedQuery prepare(const Signature& q) {
  static_assert(kToneGains.size() <= PreparedQuery::kTones);
  PreparedQuery p;
  p.bins = bin_count(q.kind, q.bits);
  p.tones.assign(p.bins * PreparedQuery::kTones, 0);
  if (q.toned.empty()) {
    p.tone_count = 1;
    for (const RootBin& b : q.histogram)
      if (b.bin < p.bins) p.tones[b.bin * PreparedQuery::kTones] = b.root;
  } else {
    p.tone_count = std::min(q.toned.size(), PreparedQuery::kTones);
    for (size_t g = 0; g < p.tone_count; ++g)
      for (size_t b = 0; b < p.bins && b < q.toned[g].size(); ++b) p.tones[b * PreparedQuery::kTones + g] = q.toned[g][b];
  }
  if (!q.thumbs.empty()) {
    for (int k = 0; k < 8; ++k) p.oriented.push_back(oriented(q.thumbs[0], k));
    p.norm = norm(q.thumbs[0]);
  }
  p.turned = q.turned;
  for (const Thumb& t : q.turned) p.turned_norms.push_back(norm(t));
  return p;
}

double correlation(int64_t product, double norm_a, double norm_b) {
  return norm_a == 0 || norm_b == 0 ? 0 : static_cast<double>(product) / (norm_a * norm_b);
}

Similarities score(const RankedFile& file, size_t i, const PreparedQuery& q, std::array<Thumb, kThumbsPerImage>& base) {
  Similarities s;
  std::array<float, PreparedQuery::kTones> sums{};
  file.for_each_bin(i, [&](uint32_t bin, float root) {
    if (bin >= q.bins) return;
    const float* t = &q.tones[bin * PreparedQuery::kTones];
    for (size_t g = 0; g < PreparedQuery::kTones; ++g) sums[g] += t[g] * root;
  });
  s.histogram = *std::max_element(sums.begin(), sums.begin() + static_cast<std::ptrdiff_t>(q.tone_count));
  // every orientation against the whole image and every window, and the
  // turned-back thumbnails against the whole image
  file.thumbs(i, base.data());
  for (int t = 0; t < kThumbsPerImage; ++t) {
    const double nb = norm(base[t]);
    for (const Thumb& o : q.oriented) s.layout = std::max(s.layout, correlation(dot(o.data(), base[t].data()), q.norm, nb));
    if (t == 0)
      for (size_t k = 0; k < q.turned.size(); ++k)
        s.layout = std::max(s.layout, correlation(dot(q.turned[k].data(), base[0].data()), q.turned_norms[k], nb));
  }
  return s;
}

}  // namespace

Similarities similarities(const RankedFile& file, size_t i, const Signature& query) {
  std::array<Thumb, kThumbsPerImage> base;
  return score(file, i, prepare(query), base);
}

ranking::Ranking rank(const RankedFile& file, const Signature& query) {
  ranking::Ranking r;
  r.threshold = kMatchThreshold;
  if (query.bits.PARAM_BITS_NB != file.bits().PARAM_BITS_NB || query.bits.PARAM_BITS_RGB != file.bits().PARAM_BITS_RGB)
    return r;
  const PreparedQuery q = prepare(query);
  std::array<Thumb, kThumbsPerImage> base;
  for (size_t i = 0; i < file.size(); ++i) {
    if (file.kind(i) != query.kind) continue;
    const Similarities s = score(file, i, q, base);
    ranking::Result res;
    res.id = file.id(i);
    res.name = std::string(file.name(i));
    res.score = combined_score(s.histogram, s.layout);
    r.results.push_back(std::move(res));
  }
  std::stable_sort(r.results.begin(), r.results.end(), [](const ranking::Result& a, const ranking::Result& b) {
    return a.score != b.score ? a.score > b.score : a.id < b.id;
  });
  if (r.results.empty()) {
    r.confidence = 1;
    return r;
  }
  const Verdict v = verdict(r.results[0].score);
  r.match = v.match;
  r.confidence = v.confidence;
  r.match_label = v.label;
  if (!r.match) r.best_candidate = r.results[0];
  return r;
}

}  // namespace image_ranking
