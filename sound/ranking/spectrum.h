// Short-time power spectrum of a sound.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "sound/ranking/params.h"

namespace sound_ranking {

struct Spectrum {
  size_t frames = 0;
  size_t bins = 0;           // fft_size / 2 + 1
  std::vector<float> power;  // frames x bins, row-major

  float at(size_t frame, size_t bin) const { return power[frame * bins + bin]; }
};

// Frame t covers samples [t * hop, t * hop + fft_size), Hann-windowed; the
// last frame may run past the end (zeros). A sound shorter than one window
// still gives one frame; an empty sound gives none.
// Frames of a sound of `samples` samples.
size_t frame_count(size_t samples, const Params& p = kParams);

Spectrum spectrum(std::span<const float> samples, const Params& p = kParams);

}  // namespace sound_ranking
