// Okapi BM25 over stems.
#pragma once

#include <cstdint>

namespace textrank {

inline constexpr double kK1 = 1.2;
inline constexpr double kB = 0.75;

// Inverse document frequency of a stem found in `with` of `documents`
// documents, in the form that never goes negative:
// ln(1 + (N - n + 0.5) / (n + 0.5)).
double idf(uint64_t documents, uint64_t with);

// One stem's share of a document's score: idf * tf (k1 + 1) /
// (tf + k1 (1 - b + b * length / average_length)), for a stem occurring `tf`
// times in a document of `length` stems. An empty average counts as 1.
double term_score(double idf, uint32_t tf, uint64_t length, double average_length, double k1, double b);

}  // namespace textrank
