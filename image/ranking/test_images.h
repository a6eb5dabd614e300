// Small images for the ranker's tests, built as the legacy reader returns them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "image/image_file.h"

namespace image_ranking::testing {

// A grey image whose pixel (line, column) is value(line, column).
inline image::ImageLue grey(int32_t lines, int32_t columns, const std::function<int(int, int)>& value) {
  std::string text = std::to_string(lines) + " " + std::to_string(columns) + " 1\n";
  for (int i = 0; i < lines; ++i)
    for (int j = 0; j < columns; ++j) text += std::to_string(value(i, j)) + " ";
  return image::lireImage(text, "t.txt");
}

// A colour image whose planes are red(l, c), green(l, c), blue(l, c).
inline image::ImageLue colour(int32_t lines, int32_t columns, const std::function<int(int, int, int)>& value) {
  std::string text = std::to_string(lines) + " " + std::to_string(columns) + " 3\n";
  for (int p = 0; p < 3; ++p)
    for (int i = 0; i < lines; ++i)
      for (int j = 0; j < columns; ++j) text += std::to_string(value(p, i, j)) + " ";
  return image::lireImage(text, "t.txt");
}

// A picture with some structure: smooth blobs of varied brightness.
inline int scene(int i, int j, int seed) {
  const int v = (i * 7 + j * 3 + seed * 40) % 256;
  return (v * v / 255 + ((i / 9 + j / 13 + seed) % 3) * 40) % 256;
}

}  // namespace image_ranking::testing
