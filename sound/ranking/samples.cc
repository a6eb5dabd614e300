#include "sound/ranking/samples.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace sound_ranking {

namespace {
constexpr double kLimit = 1e4;
}  // namespace

std::vector<float> samples_from_bytes(std::string_view bytes) {
  const size_t n = bytes.size() / 8;
  std::vector<float> out(n);
  for (size_t i = 0; i < n; ++i) {
    uint64_t bits;
    std::memcpy(&bits, bytes.data() + 8 * i, 8);
    if constexpr (std::endian::native == std::endian::big) bits = __builtin_bswap64(bits);
    const double x = std::bit_cast<double>(bits);
    out[i] = std::isfinite(x) ? static_cast<float>(std::clamp(x, -kLimit, kLimit)) : 0.0f;
  }
  return out;
}

}  // namespace sound_ranking
