// Band envelope: how a sound's energy spreads over a few frequency bands,
// block by block. Landmarks say where a query may lie; the envelope checks
// it. The energy of eight log-spaced bands is kept per block of eight
// frames (64 ms), as a 4-bit level: 4 dB steps below the loudest band of
// the whole sound. Four bytes per block: 62.5 bytes a second of sound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "sound/ranking/params.h"
#include "sound/ranking/spectrum.h"

namespace sound_ranking {

inline constexpr int kEnvelopeBands = 8;
inline constexpr int kEnvelopeFrames = 8;                        // frames per block
inline constexpr size_t kEnvelopeBlockBytes = kEnvelopeBands / 2;  // two levels a byte
inline constexpr int kEnvelopeStepDb = 4;

// Blocks of a sound of `frames` frames (the last one may be partial).
size_t envelope_blocks(size_t frames);

// Power of each band in each frame: frames x kEnvelopeBands, row-major. The
// bands split [bin_lo, bin_hi) at equal ratios.
std::vector<float> band_powers(const Spectrum& s, const Params& p = kParams);

// The stored levels of band_powers(): envelope_blocks(frames) blocks of
// kEnvelopeBlockBytes bytes, band 2i in the low nibble of byte i. Level 0
// is silence or 60 dB and more below the loudest band.
std::vector<uint8_t> envelope(std::span<const float> bands, size_t frames);

// How well a query's band powers (from band_powers) follow a sound's
// envelope when query frame t lies at sound frame offset + speed * t: the
// correlation over time of each band's level after each block's mean level
// is removed (the spectral shape, whatever the volume), averaged over the
// bands weighted by how much the query's level moves in them. Bands where
// the query holds almost nothing (cut by a telephone line, say) are left
// out. In [-1, 1]; 0 when fewer than three blocks overlap.
double envelope_agreement(std::span<const uint8_t> env, std::span<const float> query_bands,
                          size_t query_frames, double offset, double speed);

}  // namespace sound_ranking
