#include "image/ranking/similarity.h"

#include <algorithm>
#include <cmath>

#include "image/ranking/params.h"

namespace image_ranking {

double layout_similarity(const Thumb& a, const Thumb& b) {
  const double na = static_cast<double>(dot(a.data(), a.data()));
  const double nb = static_cast<double>(dot(b.data(), b.data()));
  if (na == 0 || nb == 0) return 0;
  return static_cast<double>(dot(a.data(), b.data())) / std::sqrt(na * nb);
}

double combined_score(double histogram, double layout) {
  return std::max(kWeightHistogram * histogram + kWeightThumbnail * layout, layout - kLayoutAloneMargin);
}

Verdict verdict(double best_score) {
  Verdict v;
  v.match = best_score >= kMatchThreshold;
  if (v.match) {
    v.confidence = 0.5 + 0.5 * (best_score - kMatchThreshold) / (1 - kMatchThreshold);
    v.label = best_score >= kSameImageThreshold ? "même image" : "image proche";
  } else {
    v.confidence = 0.5 + 0.5 * (kMatchThreshold - best_score) / kMatchThreshold;
  }
  v.confidence = std::clamp(v.confidence, 0.0, 1.0);
  return v;
}

}  // namespace image_ranking
