#include "text/ranking/bm25.h"

#include <cmath>

namespace textrank {

double idf(uint64_t documents, uint64_t with) {
  const double n = static_cast<double>(with);
  return std::log1p((static_cast<double>(documents) - n + 0.5) / (n + 0.5));
}

double term_score(double idf, uint32_t tf, uint64_t length, double average_length, double k1, double b) {
  const double avg = average_length > 0 ? average_length : 1.0;
  const double f = static_cast<double>(tf);
  const double norm = k1 * (1.0 - b + b * static_cast<double>(length) / avg);
  return idf * f * (k1 + 1.0) / (f + norm);
}

}  // namespace textrank
