// Scoring a query descriptor against a base descriptor by histogram
// intersection: the number of pixels the two images have in common, value by
// value, as a percentage rounded half up.
#pragma once

#include <cstdint>
#include <vector>

#include "image/base.h"

namespace image {

struct Resultat {
  int32_t id = 0;
  int score = 0;  // 0 to 100
};

// The query's descriptor with its counts laid out by value, so that each base
// entry is matched in constant time. The query comes from an image, so its
// values are codes from 0 to 2^15 - 1.
class RequeteImage {
 public:
  explicit RequeteImage(const DescripteurImage& d);
  const DescripteurImage& descripteur() const { return d_; }
  int64_t pixels() const;

  // Sum over the base record's entries of the smaller of the two counts of
  // the same value.
  uint64_t intersection(const DescripteurImage& base) const;

 private:
  const DescripteurImage& d_;
  std::vector<int32_t> bins_;
};

// 100 x sum / denominator rounded half up, in double precision, within 0..100.
int pourcentage(uint64_t sum, double denominator);

// Colour: the denominator is the query's pixel count.
Resultat comparaisonRGB(const RequeteImage& q, const DescripteurImage& d);
// Grey: the denominator is the larger of the two pixel counts.
Resultat comparaisonNB(const RequeteImage& q, const DescripteurImage& d);

}  // namespace image
