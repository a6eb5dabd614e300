// What indexing keeps of a sound for the ranked search.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sound/ranking/landmarks.h"
#include "sound/ranking/params.h"

namespace sound_ranking {

struct SoundPrint {
  std::vector<Landmark> landmarks;
  std::vector<uint8_t> envelope;  // see envelope.h
};

// Pure: landmarks and band envelope of a sound, from one spectrum.
SoundPrint describe(std::span<const float> samples, const Params& p = kParams);

}  // namespace sound_ranking
