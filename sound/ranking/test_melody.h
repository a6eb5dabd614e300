// A test sound with plenty of peaks: notes of a few harmonics at random
// pitches and lengths, the same for the same seed.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "sound/ranking/params.h"

namespace sound_ranking {

inline std::vector<float> melody(uint32_t seed, size_t n) {
  std::mt19937 g(seed);
  std::vector<float> x(n);
  size_t at = 0;
  while (at < n) {
    const size_t len = 800 + g() % 3000;
    const double f0 = 150 + g() % 1200;
    for (size_t i = 0; i < len && at + i < n; ++i)
      for (int h = 1; h <= 3; ++h)
        x[at + i] += static_cast<float>(0.3 / h * std::sin(2 * std::numbers::pi * f0 * h * i / kSampleRate));
    at += len;
  }
  return x;
}

}  // namespace sound_ranking
