#include "sound/ranking/describe.h"

#include "sound/ranking/envelope.h"
#include "sound/ranking/peaks.h"
#include "sound/ranking/spectrum.h"

namespace sound_ranking {

SoundPrint describe(std::span<const float> samples, const Params& p) {
  const Spectrum s = spectrum(samples, p);
  SoundPrint out;
  out.landmarks = landmarks(find_peaks(s, p), p);
  out.envelope = envelope(band_powers(s, p), s.frames);
  return out;
}

}  // namespace sound_ranking
