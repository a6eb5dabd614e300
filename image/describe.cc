#include "image/describe.h"

namespace image {

Description describeImage(std::string_view bytes, const std::string& nom, const ParamBits& bits) {
  ImageLue img = lireImage(bytes, nom);
  Description d;
  d.outcome = img.outcome;
  d.fault = img.fault;
  d.kind = img.kind;
  if (img.outcome != ImageLue::Outcome::kRead) return d;
  if (img.kind == kKindNB) {
    quantificationImageNB(img.nb, bits);
    d.descripteur = descripteurNB(img.nb);
  } else {
    quantificationImageRGB(img.rgb, bits);
    d.descripteur = descripteurRGB(img.rgb, bits);
  }
  return d;
}

}  // namespace image
