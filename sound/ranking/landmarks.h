// Landmarks: hashes of peak triplets that a small change of speed keeps.
//
// An anchor peak A and two later peaks B, C (B no later than C) give
//   band  anchor frequency, log scale, coarse    (band_steps per octave)
//   r1    log2(f_B / f_A), in [-2, 2) octaves    (ratio_steps per octave)
//   r2    log2(f_C / f_A)
//   u     (t_B - t_A) / (t_C - t_A), in (0, 1]   (gap_ratio_steps)
//   g     log2(t_C - t_A), coarse                (gap_steps per octave)
// Playing a sound a few percent faster scales every frequency and every time
// gap by the same factor: r1, r2 and u do not move, band and g move by a
// fraction of a step. Packed as band:5 r1:7 r2:7 u:3 g:4 (kHashBits).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sound/ranking/params.h"
#include "sound/ranking/peaks.h"

namespace sound_ranking {

struct Landmark {
  uint32_t hash = 0;
  uint32_t frame = 0;  // the anchor's frame
};

// The unquantised features of one triplet, in units of quantisation steps.
struct Features {
  float band = 0, r1 = 0, r2 = 0, u = 0, g = 0;
};

// One hash per triplet: each anchor with every pair of its `targets`
// strongest followers. In anchor order (frame, then bin).
std::vector<Landmark> landmarks(std::span<const Peak> peaks, const Params& p = kParams);

// The triplets' features, in the same order as landmarks() (for queries).
std::vector<std::pair<Features, uint32_t>> triplet_features(std::span<const Peak> peaks,
                                                           const Params& p = kParams);

uint32_t hash_of(const Features& f);

// The hashes of the cells around a query triplet: its own cell, and the
// neighbouring cell of each feature that lies within `margin` of a step
// boundary (a little noise or a change of speed may have moved it across),
// for the max_fields features nearest to one, in every combination. Its own
// cell comes first. At most 2^max_fields hashes.
void probe_hashes(const Features& f, float margin, std::vector<uint32_t>& out, int max_fields = 5);

// Pure: spectrum, peaks and landmarks of a sound.
std::vector<Landmark> fingerprint(std::span<const float> samples, const Params& p = kParams);

}  // namespace sound_ranking
