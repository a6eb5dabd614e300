// The FFT is KissFFT (BSD licence), not FFTW, so that the engine carries no
// GPL obligation. A plan is made per call: it is plain memory, so sounds can
// be described on several threads at once.
#include "sound/ranking/spectrum.h"

#include <kiss_fftr.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>

namespace sound_ranking {

namespace {

struct PlanFree {
  void operator()(kiss_fftr_cfg cfg) const { kiss_fftr_free(cfg); }
};

}  // namespace

size_t frame_count(size_t samples, const Params& p) {
  const size_t n = static_cast<size_t>(p.fft_size);
  const size_t hop = static_cast<size_t>(p.hop);
  if (samples == 0) return 0;
  return samples <= n ? 1 : 1 + (samples - n + hop - 1) / hop;
}

Spectrum spectrum(std::span<const float> samples, const Params& p) {
  Spectrum s;
  const size_t n = static_cast<size_t>(p.fft_size);
  const size_t hop = static_cast<size_t>(p.hop);
  s.bins = n / 2 + 1;
  if (samples.empty()) return s;
  s.frames = frame_count(samples.size(), p);
  s.power.resize(s.frames * s.bins);

  const std::unique_ptr<std::remove_pointer_t<kiss_fftr_cfg>, PlanFree> plan(
      kiss_fftr_alloc(static_cast<int>(n), 0, nullptr, nullptr));
  if (!plan) throw std::bad_alloc();
  std::vector<float> window(n);
  for (size_t i = 0; i < n; ++i)
    window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n));
  std::vector<kiss_fft_scalar> in(n);
  std::vector<kiss_fft_cpx> out(s.bins);

  for (size_t t = 0; t < s.frames; ++t) {
    const size_t start = t * hop;
    const size_t avail = std::min(n, samples.size() - start);
    for (size_t i = 0; i < avail; ++i) in[i] = samples[start + i] * window[i];
    for (size_t i = avail; i < n; ++i) in[i] = 0;
    kiss_fftr(plan.get(), in.data(), out.data());
    float* row = &s.power[t * s.bins];
    for (size_t b = 0; b < s.bins; ++b) row[b] = out[b].r * out[b].r + out[b].i * out[b].i;
  }
  return s;
}

}  // namespace sound_ranking
