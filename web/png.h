// PNG encoding of the images of the corpora, through libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace web {

// Encodes 8-bit pixels, row-major: `channels` 1 (grey) or 3 (red, green,
// blue interleaved). False when the sizes do not match the pixels or libpng
// fails.
bool EncodePng(uint32_t width, uint32_t height, int channels, const std::vector<uint8_t>& pixels,
               std::string* png);

}  // namespace web
