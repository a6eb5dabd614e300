// Spectral peaks: cells that are the largest of their neighbourhood.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sound/ranking/params.h"
#include "sound/ranking/spectrum.h"

namespace sound_ranking {

struct Peak {
  uint32_t frame = 0;
  uint32_t bin = 0;
  float freq = 0;   // bin refined by a parabola through the log powers
  float power = 0;
};

// out[i] = max of in[i - r .. i + r] (clipped at the ends), in time linear in
// in.size() whatever r (van Herk / Gil-Werman: prefix and suffix maxima over
// blocks of 2r + 1).
void running_max(std::span<const float> in, int r, std::span<float> out);

// Every cell of bins [bin_lo, bin_hi) that equals the maximum of its
// (2 r_t + 1) x (2 r_f + 1) neighbourhood (edges clipped), is positive and is
// within floor_db of the loudest cell in those bins. Sorted by frame, then
// bin. Linear in the number of cells.
std::vector<Peak> local_maxima(const Spectrum& s, const Params& p = kParams);

// local_maxima thinned to the strongest peaks_per_block of each block of
// block_frames frames (ties by position), sorted by frame, then bin.
std::vector<Peak> find_peaks(const Spectrum& s, const Params& p = kParams);

}  // namespace sound_ranking
