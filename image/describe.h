// From an image file's bytes to its descriptor: the image is read, quantised
// with the given bit counts and counted into its histogram. Pure, so the
// indexing can run it on many images at once and the search on its query.
#pragma once

#include <string>
#include <string_view>

#include "image/base.h"
#include "image/image_file.h"

namespace image {

// Histogram of a quantised grey image (values < 256) and of a quantised colour
// image (codes below 2^(3n)), counted in direct-indexed bins; entries in
// increasing order of value. id stays 0.
DescripteurImage descripteurNB(const ImgNB& img);
DescripteurImage descripteurRGB(const ImgRGB& img, const ParamBits& bits);

struct Description {
  // kRead: `descripteur` holds the histogram; otherwise the reading's outcome.
  ImageLue::Outcome outcome = ImageLue::Outcome::kHeaderFault;
  ReadFault fault = ReadFault::kNone;
  int kind = 0;  // kKindNB or kKindRGB once the header gave a valid kind
  DescripteurImage descripteur;
};

// `nom` is the image's path, kept in the record as the caller gave it.
Description describeImage(std::string_view bytes, const std::string& nom, const ParamBits& bits);
// The same from an image already read (the quantisation works on this copy).
Description describeImage(ImageLue img, const ParamBits& bits);

}  // namespace image
