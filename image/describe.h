// From an image file's bytes to its descriptor: header, kind, body, then the
// quantisation and histogram with the given bit counts. Pure, so the indexing
// can run it on many images at once and the search on its query.
#pragma once

#include <string>
#include <string_view>

#include "image/descriptor.h"
#include "image/image_file.h"

namespace image {

struct Description {
  enum class Outcome {
    kDescribed,    // `descripteur` holds the histogram
    kHeaderFault,  // the header could not be read (`fault` says why)
    kUnknownKind,  // the component count is neither 1 nor 3
    kBodyFault,    // sizes that cannot be held, or a body that cannot be read
  };
  Outcome outcome = Outcome::kHeaderFault;
  ReadFault fault = ReadFault::kNone;
  int kind = 0;  // kKindNB or kKindRGB once the header gave a valid kind
  DescripteurImage descripteur;
};

// `nom` is the image's path, kept in the record as the caller gave it.
Description describeImage(std::string_view bytes, const std::string& nom, const ParamBits& bits);

}  // namespace image
