#include "sound/ranking/samples.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace sound_ranking {

namespace {

constexpr double kLimit = 1e4;

// The samples of `n` whole 8-byte groups at `p`, appended to `out`.
void append(const char* p, size_t n, std::vector<float>& out) {
  const size_t first = out.size();
  out.resize(first + n);
  for (size_t i = 0; i < n; ++i) {
    uint64_t bits;
    std::memcpy(&bits, p + 8 * i, 8);
    if constexpr (std::endian::native == std::endian::big) bits = __builtin_bswap64(bits);
    const double x = std::bit_cast<double>(bits);
    out[first + i] = std::isfinite(x) ? static_cast<float>(std::clamp(x, -kLimit, kLimit)) : 0.0f;
  }
}

}  // namespace

std::vector<float> samples_from_bytes(std::string_view bytes) {
  std::vector<float> out;
  append(bytes.data(), bytes.size() / 8, out);
  return out;
}

void SampleCollector::feed(std::string_view bytes) {
  if (carried_ > 0) {
    const size_t take = std::min(bytes.size(), sizeof carry_ - carried_);
    std::memcpy(carry_ + carried_, bytes.data(), take);
    carried_ += take;
    bytes.remove_prefix(take);
    if (carried_ < sizeof carry_) return;
    append(carry_, 1, samples_);
    carried_ = 0;
  }
  const size_t whole = bytes.size() / 8;
  append(bytes.data(), whole, samples_);
  carried_ = bytes.size() - whole * 8;
  std::memcpy(carry_, bytes.data() + whole * 8, carried_);
}

}  // namespace sound_ranking
