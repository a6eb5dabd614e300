// Parameters of the sound ranker. Every value here shapes the landmarks, so
// the ranked file records all of them and refuses to be read by code built
// with other values: a query is always described as the sounds were.
#pragma once

#include <cstdint>

namespace sound_ranking {

inline constexpr int kSampleRate = 16000;

struct Params {
  // Short-time spectrum: Hann window of fft_size samples every hop samples
  // (32 ms every 8 ms).
  int32_t fft_size = 512;
  int32_t hop = 128;

  // Peaks are searched in bins [bin_lo, bin_hi): below, rumble and DC; above,
  // what little a 16 kHz recording keeps near its Nyquist frequency.
  int32_t bin_lo = 3;
  int32_t bin_hi = 250;

  // A peak is the largest cell of the (2 r_t + 1) x (2 r_f + 1) cells around
  // it, and no more than floor_db below the loudest cell of the sound.
  int32_t peak_radius_t = 4;
  int32_t peak_radius_f = 6;
  int32_t floor_db = 60;

  // Density bound: in each block of block_frames frames only the strongest
  // peaks_per_block peaks stay, so the landmark rate and the file size are
  // bounded whatever the sound.
  int32_t block_frames = 32;
  int32_t peaks_per_block = 10;

  // Triplets: an anchor peak and two of its `targets` strongest followers
  // among those 1..target_dt frames later and within target_df bins.
  int32_t target_dt = 48;
  int32_t target_df = 48;
  int32_t targets = 4;

  // Quantisation of the triplet's features, in steps per octave (anchor
  // band and frequency ratios) and steps over (0, 1] (time-gap ratio), and
  // in steps per octave of the longer time gap.
  int32_t band_steps = 3;
  int32_t ratio_steps = 24;
  int32_t gap_ratio_steps = 8;
  int32_t gap_steps = 2;
};

inline constexpr Params kParams{};

// Bits of a landmark hash (see landmarks.h for the fields).
inline constexpr int kHashBits = 26;

}  // namespace sound_ranking
