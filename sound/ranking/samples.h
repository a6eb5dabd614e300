// A sound file's bytes as samples: little-endian IEEE doubles, a trailing
// group of fewer than 8 bytes ignored.
#pragma once

#include <string_view>
#include <vector>

namespace sound_ranking {

// Single precision is plenty for a spectrum and halves the memory. Samples
// lie in [-1, 1]; a wild value is clamped to +-10^4 and one that is not
// finite (NaN, infinity) becomes 0, so that no spectrum overflows.
std::vector<float> samples_from_bytes(std::string_view bytes);

}  // namespace sound_ranking
