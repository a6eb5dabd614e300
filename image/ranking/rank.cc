#include "image/ranking/rank.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "image/ranking/params.h"
#include "image/ranking/similarity.h"

namespace image_ranking {

namespace {

// The query's thumbnails in every orientation, and its turned-back ones, with
// the norms the correlations divide by.
struct QueryThumbs {
  // the toned root histograms bin by bin, kTones values per bin
  static constexpr size_t kTones = 8;
  std::vector<float> tones;
  size_t bins = 0;
  std::vector<Thumb> oriented;
  std::vector<Thumb> turned;
  std::vector<double> turned_norms;
  double norm = 0;
};

QueryThumbs prepare(const Signature& q) {
  QueryThumbs p;
  static_assert(kToneGains.size() <= QueryThumbs::kTones);
  if (!q.toned.empty()) {
    p.bins = q.toned[0].size();
    p.tones.assign(p.bins * QueryThumbs::kTones, 0);
    for (size_t g = 0; g < q.toned.size() && g < QueryThumbs::kTones; ++g)
      for (size_t b = 0; b < p.bins && b < q.toned[g].size(); ++b) p.tones[b * QueryThumbs::kTones + g] = q.toned[g][b];
  }
  if (q.thumbs.empty()) return p;
  for (int k = 0; k < 8; ++k) p.oriented.push_back(oriented(q.thumbs[0], k));
  p.norm = std::sqrt(static_cast<double>(dot(q.thumbs[0].data(), q.thumbs[0].data())));
  p.turned = q.turned;
  for (const Thumb& t : q.turned) p.turned_norms.push_back(std::sqrt(static_cast<double>(dot(t.data(), t.data()))));
  return p;
}

double correlation(int64_t product, double norm_a, double norm_b) {
  return norm_a == 0 || norm_b == 0 ? 0 : static_cast<double>(product) / (norm_a * norm_b);
}

Similarities score(const RankedFile& file, size_t i, const Signature& query, const QueryThumbs& qt,
                   std::array<Thumb, kThumbsPerImage>& base) {
  Similarities s;
  // histogram: the query's tones, or its own histogram when it has none
  if (qt.tones.empty()) {
    const std::vector<RootBin> h = file.histogram(i);
    size_t a = 0;
    for (const RootBin& b : h) {
      while (a < query.histogram.size() && query.histogram[a].bin < b.bin) ++a;
      if (a < query.histogram.size() && query.histogram[a].bin == b.bin)
        s.histogram += static_cast<double>(query.histogram[a].root) * b.root;
    }
  } else {
    std::array<float, QueryThumbs::kTones> sums{};
    file.for_each_bin(i, [&](uint32_t bin, float root) {
      if (bin >= qt.bins) return;
      const float* t = &qt.tones[bin * QueryThumbs::kTones];
      for (size_t g = 0; g < QueryThumbs::kTones; ++g) sums[g] += t[g] * root;
    });
    s.histogram = *std::max_element(sums.begin(), sums.begin() + static_cast<long>(std::min(query.toned.size(), sums.size())));
  }
  // layout: every orientation against the whole image and every window, and
  // the turned-back thumbnails against the whole image
  file.thumbs(i, base.data());
  for (int t = 0; t < kThumbsPerImage; ++t) {
    const double nb = std::sqrt(static_cast<double>(dot(base[t].data(), base[t].data())));
    for (const Thumb& q : qt.oriented) s.layout = std::max(s.layout, correlation(dot(q.data(), base[t].data()), qt.norm, nb));
    if (t == 0)
      for (size_t k = 0; k < qt.turned.size(); ++k)
        s.layout = std::max(s.layout, correlation(dot(qt.turned[k].data(), base[0].data()), qt.turned_norms[k], nb));
  }
  return s;
}

}  // namespace

Similarities similarities(const RankedFile& file, size_t i, const Signature& query) {
  std::array<Thumb, kThumbsPerImage> base;
  return score(file, i, query, prepare(query), base);
}

ranking::Ranking rank(const RankedFile& file, const Signature& query) {
  ranking::Ranking r;
  r.threshold = kMatchThreshold;
  if (query.bits.PARAM_BITS_NB != file.bits().PARAM_BITS_NB || query.bits.PARAM_BITS_RGB != file.bits().PARAM_BITS_RGB)
    return r;
  const QueryThumbs qt = prepare(query);
  std::array<Thumb, kThumbsPerImage> base;
  for (size_t i = 0; i < file.size(); ++i) {
    if (file.kind(i) != query.kind) continue;
    const Similarities s = score(file, i, query, qt, base);
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
