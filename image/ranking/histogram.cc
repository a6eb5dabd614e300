#include "image/ranking/histogram.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace image_ranking {

namespace {

using Lut = std::array<uint8_t, 256>;

Lut tone(double gain, int shift) {
  Lut lut{};
  for (int v = 0; v < 256; ++v)
    lut[v] = static_cast<uint8_t>(std::min<long>(255, std::lround(v * gain)) >> shift);
  return lut;
}

std::vector<uint64_t> count_nb(const image::ImgNB& img, const image::ParamBits& bits, const Lut& lut) {
  std::vector<uint64_t> counts(bin_count(image::kKindNB, bits), 0);
  for (uint8_t v : img.matrice) ++counts[lut[v]];
  return counts;
}

std::vector<uint64_t> count_rgb(const image::ImgRGB& img, const image::ParamBits& bits, const Lut& lut) {
  const int n = bits.PARAM_BITS_RGB;
  std::vector<uint64_t> counts(bin_count(image::kKindRGB, bits), 0);
  const size_t pixels = img.matriceR.size();
  for (size_t k = 0; k < pixels; ++k)
    ++counts[(static_cast<uint32_t>(lut[img.matriceR[k]]) << (2 * n)) |
             (static_cast<uint32_t>(lut[img.matriceG[k]]) << n) | lut[img.matriceB[k]]];
  return counts;
}

std::vector<RootBin> sparse_roots(const std::vector<uint64_t>& counts) {
  uint64_t total = 0;
  for (uint64_t c : counts) total += c;
  std::vector<RootBin> out;
  for (size_t b = 0; b < counts.size(); ++b)
    if (counts[b] != 0)
      out.push_back({static_cast<uint32_t>(b),
                     static_cast<float>(std::sqrt(static_cast<double>(counts[b]) / static_cast<double>(total)))});
  return out;
}

std::vector<float> full_roots(const std::vector<uint64_t>& counts) {
  uint64_t total = 0;
  for (uint64_t c : counts) total += c;
  std::vector<float> out(counts.size(), 0);
  if (total == 0) return out;
  for (size_t b = 0; b < counts.size(); ++b)
    out[b] = static_cast<float>(std::sqrt(static_cast<double>(counts[b]) / static_cast<double>(total)));
  return out;
}

}  // namespace

uint32_t bin_count(int kind, const image::ParamBits& bits) {
  return kind == image::kKindNB ? 1u << bits.PARAM_BITS_NB : 1u << (3 * bits.PARAM_BITS_RGB);
}

std::vector<RootBin> root_histogram(const image::ImgNB& img, const image::ParamBits& bits) {
  return sparse_roots(count_nb(img, bits, tone(1.0, 8 - bits.PARAM_BITS_NB)));
}

std::vector<RootBin> root_histogram(const image::ImgRGB& img, const image::ParamBits& bits) {
  return sparse_roots(count_rgb(img, bits, tone(1.0, 8 - bits.PARAM_BITS_RGB)));
}

std::vector<float> toned_root_histogram(const image::ImgNB& img, const image::ParamBits& bits, double gain) {
  return full_roots(count_nb(img, bits, tone(gain, 8 - bits.PARAM_BITS_NB)));
}

std::vector<float> toned_root_histogram(const image::ImgRGB& img, const image::ParamBits& bits, double gain) {
  return full_roots(count_rgb(img, bits, tone(gain, 8 - bits.PARAM_BITS_RGB)));
}

double bhattacharyya(const std::vector<float>& full, const std::vector<RootBin>& sparse) {
  double sum = 0;
  for (const RootBin& b : sparse)
    if (b.bin < full.size()) sum += static_cast<double>(full[b.bin]) * b.root;
  return sum;
}

}  // namespace image_ranking
