#include "image/score.h"

#include <algorithm>

namespace image {

namespace {
constexpr int32_t kMaxCode = (1 << 15) - 1;

int64_t pixelsOf(const DescripteurImage& d) {
  return static_cast<int64_t>(d.nbcolonne) * static_cast<int64_t>(d.nbligne);
}
}  // namespace

RequeteImage::RequeteImage(const DescripteurImage& d) : d_(d) {
  int32_t top = -1;
  const size_t n = d.entries();
  for (size_t k = 0; k < n; ++k)
    if (d.histo.valeurs[k] <= kMaxCode) top = std::max(top, d.histo.valeurs[k]);
  bins_.assign(static_cast<size_t>(top + 1), 0);
  for (size_t k = 0; k < n; ++k) {
    const int32_t v = d.histo.valeurs[k];
    if (v >= 0 && v <= kMaxCode) bins_[static_cast<size_t>(v)] += std::max(d.histo.occurrences[k], 0);
  }
}

int64_t RequeteImage::pixels() const { return pixelsOf(d_); }

uint64_t RequeteImage::intersection(const DescripteurImage& base) const {
  uint64_t sum = 0;
  const size_t n = base.entries();
  const size_t size = bins_.size();
  for (size_t k = 0; k < n; ++k) {
    const int32_t v = base.histo.valeurs[k];
    if (v < 0 || static_cast<size_t>(v) >= size) continue;
    const int32_t c = base.histo.occurrences[k];
    if (c <= 0) continue;
    sum += static_cast<uint64_t>(std::min(bins_[static_cast<size_t>(v)], c));
  }
  return sum;
}

int pourcentage(uint64_t sum, double denominator) {
  if (!(denominator > 0)) return 0;
  const double score = 100.0 * static_cast<double>(sum) / denominator + 0.5;
  if (score >= 100.0) return 100;  // only a malformed base record can exceed it
  return static_cast<int>(score);
}

Resultat comparaisonRGB(const RequeteImage& q, const DescripteurImage& d) {
  return {d.id, pourcentage(q.intersection(d), static_cast<double>(q.pixels()))};
}

Resultat comparaisonNB(const RequeteImage& q, const DescripteurImage& d) {
  const int64_t den = std::max(q.pixels(), pixelsOf(d));
  return {d.id, pourcentage(q.intersection(d), static_cast<double>(den))};
}

}  // namespace image
