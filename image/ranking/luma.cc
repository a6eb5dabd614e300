#include "image/ranking/luma.h"

namespace image_ranking {

template <typename Pixel>
void LumaTable::fill(Pixel pixel) {
  const size_t stride = static_cast<size_t>(columns_) + 1;
  table_.assign((static_cast<size_t>(lines_) + 1) * stride, 0);
  for (int32_t i = 0; i < lines_; ++i) {
    uint64_t line_sum = 0;
    const size_t row = (static_cast<size_t>(i) + 1) * stride;
    for (int32_t j = 0; j < columns_; ++j) {
      line_sum += pixel(static_cast<size_t>(i) * static_cast<size_t>(columns_) + static_cast<size_t>(j));
      table_[row + static_cast<size_t>(j) + 1] = table_[row - stride + static_cast<size_t>(j) + 1] + line_sum;
    }
  }
}

LumaTable::LumaTable(const image::ImgNB& img) : lines_(img.nbLigne), columns_(img.nbColonne) {
  fill([&](size_t k) { return uint64_t{1000} * img.matrice[k]; });
}

LumaTable::LumaTable(const image::ImgRGB& img) : lines_(img.nbLigne), columns_(img.nbColonne) {
  fill([&](size_t k) {
    return uint64_t{299} * img.matriceR[k] + uint64_t{587} * img.matriceG[k] + uint64_t{114} * img.matriceB[k];
  });
}

}  // namespace image_ranking
