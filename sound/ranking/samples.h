// A sound file's bytes as samples: little-endian IEEE doubles, a trailing
// group of fewer than 8 bytes ignored.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace sound_ranking {

// Single precision is plenty for a spectrum and halves the memory. Samples
// lie in [-1, 1]; a wild value is clamped to +-10^4 and one that is not
// finite (NaN, infinity) becomes 0, so that no spectrum overflows.
std::vector<float> samples_from_bytes(std::string_view bytes);

// The same for bytes that arrive in pieces of any size (a sound read in
// chunks): a sample split between two pieces is kept until it is whole.
class SampleCollector {
 public:
  // Room for a sound of `bytes` bytes, when its size is known beforehand.
  void reserve(uint64_t bytes) { samples_.reserve(bytes / 8); }
  void feed(std::string_view bytes);
  // The samples so far; the collector is spent.
  std::vector<float> take() { return std::move(samples_); }

 private:
  std::vector<float> samples_;
  char carry_[8];
  size_t carried_ = 0;
};

}  // namespace sound_ranking
