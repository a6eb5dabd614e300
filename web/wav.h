// The sounds of the corpus (raw little-endian 64-bit samples at 16 kHz) as
// WAV files a browser plays: 16 kHz, 16-bit PCM, mono.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace web {

inline constexpr uint32_t kSampleRate = 16000;

// One sample as a 16-bit value: clipped to [-1, 1], times 32767, rounded
// (NaN gives 0).
int16_t PcmSample(double sample);

// The WAV file of raw samples; trailing bytes short of a whole sample are
// left out. False when the sound is too long for a WAV file.
bool RawToWav(std::string_view raw, std::string* wav);

}  // namespace web
