// Colour histograms of the legacy quantisation (the n high-order bits of a
// grey value; r * 2^(2n) + g * 2^n + b for a colour pixel), normalised and
// kept as square roots of the shares, so that the Bhattacharyya coefficient
// of two histograms is a plain dot product.
#pragma once

#include <cstdint>
#include <vector>

#include "image/image_file.h"

namespace image_ranking {

// A non-empty bin: its code and the square root of its share of the pixels.
struct RootBin {
  uint32_t bin = 0;
  float root = 0;
};

// Number of codes of the kind's quantisation: 2^bits grey, 2^(3 bits) colour.
uint32_t bin_count(int kind, const image::ParamBits& bits);

// The non-empty bins, by increasing code.
std::vector<RootBin> root_histogram(const image::ImgNB& img, const image::ParamBits& bits);
std::vector<RootBin> root_histogram(const image::ImgRGB& img, const image::ParamBits& bits);

// Every bin (bin_count of them), after every value v (each component of a
// colour pixel) became min(255, round(v x gain)).
std::vector<float> toned_root_histogram(const image::ImgNB& img, const image::ParamBits& bits, double gain);
std::vector<float> toned_root_histogram(const image::ImgRGB& img, const image::ParamBits& bits, double gain);

// Bhattacharyya coefficient of a full histogram and a sparse one, in [0, 1]
// for two normalised histograms.
double bhattacharyya(const std::vector<float>& full, const std::vector<RootBin>& sparse);

}  // namespace image_ranking
