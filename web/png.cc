#include "web/png.h"

#include <png.h>

#include <cstring>

namespace web {

bool EncodePng(uint32_t width, uint32_t height, int channels, const std::vector<uint8_t>& pixels,
               std::string* png) {
  if ((channels != 1 && channels != 3) || width == 0 || height == 0) return false;
  const uint64_t stride = uint64_t{width} * static_cast<uint64_t>(channels);
  if (stride > INT32_MAX || stride * height != pixels.size()) return false;

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = channels == 1 ? PNG_FORMAT_GRAY : PNG_FORMAT_RGB;

  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  png->resize(size);
  const int ok = png_image_write_to_memory(&image, png->data(), &size, 0, pixels.data(), 0, nullptr);
  png_image_free(&image);
  if (!ok) return false;
  png->resize(size);
  return true;
}

}  // namespace web
