// Analysis parameters of the sound side: E samples per window and n
// amplitude intervals. An indexing takes them from the configuration file; a
// comparison takes them from the header of the descriptor base so that the
// query is described exactly as the indexed sounds were.
#pragma once

#include <cstdint>

namespace sound {

inline constexpr int kSampleRate = 16000;  // samples per second of every sound

// Beyond this many intervals a histogram row alone would weigh megabytes and a
// base tens of gigabytes; such values are refused like values below 1.
inline constexpr int kMaxIntervals = 1 << 16;

struct Params {
  int32_t echantillons = 1024;  // E
  int32_t nbintervalles = 40;   // n
};

inline bool valid_samples(int64_t e) { return e >= 1 && e <= INT32_MAX; }
inline bool valid_intervals(int64_t n) { return n >= 1 && n <= kMaxIntervals; }

}  // namespace sound
