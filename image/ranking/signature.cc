#include "image/ranking/signature.h"

namespace image_ranking {

namespace {

template <typename Img>
Signature describe_image(const Img& img, int kind, const image::ParamBits& bits, Purpose purpose) {
  Signature s;
  s.kind = kind;
  s.bits = bits;
  s.histogram = root_histogram(img, bits);
  const LumaTable luma(img);
  const int32_t lines = luma.lines(), columns = luma.columns();
  s.thumbs.push_back(rank_cells(block_means(luma, 0, 0, lines, columns)));
  if (purpose == Purpose::kIndex) {
    for (int w = 0; w < kWindowCount; ++w) {
      const Window win = window(lines, columns, w);
      s.thumbs.push_back(rank_cells(block_means(luma, win.top, win.left, win.lines, win.columns)));
    }
    return s;
  }
  for (double gain : kToneGains) s.toned.push_back(toned_root_histogram(img, bits, gain));
  if (has_wedges(luma))
    for (double angle : kTurnAngles)
      if (const std::optional<Means> m = turned_back_means(luma, angle)) s.turned.push_back(rank_cells(*m));
  return s;
}

}  // namespace

std::optional<Signature> describe(const image::ImageLue& img, const image::ParamBits& bits, Purpose purpose) {
  if (img.outcome != image::ImageLue::Outcome::kRead) return std::nullopt;
  if (img.kind == image::kKindNB) return describe_image(img.nb, img.kind, bits, purpose);
  return describe_image(img.rgb, img.kind, bits, purpose);
}

}  // namespace image_ranking
