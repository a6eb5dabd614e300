// What the ranker knows of one image: computed from the image as the legacy
// reader decoded it, with the configuration's bit counts. Pure, one image at a
// time, so the indexing can describe many images at once.
#pragma once

#include <optional>
#include <vector>

#include "image/image_file.h"
#include "image/ranking/histogram.h"
#include "image/ranking/thumbnail.h"

namespace image_ranking {

// An indexed image needs its windows; a query needs the variants it is
// compared through (toned histograms, turned-back thumbnails).
enum class Purpose { kIndex, kQuery };

struct Signature {
  int kind = 0;  // image::kKindNB or image::kKindRGB
  image::ParamBits bits;
  std::vector<RootBin> histogram;
  // kIndex: the whole image, then the kWindowCount windows. kQuery: the whole
  // image only.
  std::vector<Thumb> thumbs;
  // kQuery: the full root histogram under each of kToneGains.
  std::vector<std::vector<float>> toned;
  // kQuery: the image turned back by each of kTurnAngles the canvas allows,
  // when its corners show wedges; otherwise empty.
  std::vector<Thumb> turned;
};

// `img` as lireImage returned it, before any quantification (which rewrites
// the grey plane in place). Nothing unless it was read (outcome kRead).
std::optional<Signature> describe(const image::ImageLue& img, const image::ParamBits& bits, Purpose purpose);

}  // namespace image_ranking
