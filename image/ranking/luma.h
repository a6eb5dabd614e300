// Luminance of an image as a summed-area table, so that the mean of any
// rectangle, and any single pixel, costs four lookups. Luminance is kept in
// thousandths: 1000 x the grey value, or 299 R + 587 G + 114 B for a colour
// pixel (the Rec. 601 weights), so every sum is an exact integer.
#pragma once

#include <cstdint>
#include <vector>

#include "image/image_file.h"

namespace image_ranking {

class LumaTable {
 public:
  explicit LumaTable(const image::ImgNB& img);
  explicit LumaTable(const image::ImgRGB& img);

  int32_t lines() const { return lines_; }
  int32_t columns() const { return columns_; }

  // Sum over lines [top, bottom) and columns [left, right), which must lie
  // inside the image.
  uint64_t sum(int32_t top, int32_t left, int32_t bottom, int32_t right) const {
    return corner(bottom, right) + corner(top, left) - corner(top, right) - corner(bottom, left);
  }
  // Mean of that rectangle, in grey levels (0 to 255).
  double mean(int32_t top, int32_t left, int32_t bottom, int32_t right) const {
    const double count = static_cast<double>(bottom - top) * static_cast<double>(right - left);
    return static_cast<double>(sum(top, left, bottom, right)) / (1000.0 * count);
  }
  // One pixel, in grey levels.
  double at(int32_t line, int32_t column) const { return mean(line, column, line + 1, column + 1); }

 private:
  template <typename Pixel>
  void fill(Pixel pixel);
  uint64_t corner(int32_t line, int32_t column) const {
    return table_[static_cast<size_t>(line) * (static_cast<size_t>(columns_) + 1) + static_cast<size_t>(column)];
  }

  int32_t lines_ = 0;
  int32_t columns_ = 0;
  std::vector<uint64_t> table_;  // (lines + 1) x (columns + 1), first line and column 0
};

}  // namespace image_ranking
