#include "image/describe.h"

namespace image {

Description describeImage(std::string_view bytes, const std::string& nom, const ParamBits& bits) {
  Description d;
  ImageStream in(bytes);
  Entete e;
  d.fault = lectureEntete(in, e);
  if (d.fault != ReadFault::kNone) {
    d.outcome = Description::Outcome::kHeaderFault;
    return d;
  }
  if (e.nbComposantes != kKindNB && e.nbComposantes != kKindRGB) {
    d.outcome = Description::Outcome::kUnknownKind;
    return d;
  }
  d.kind = static_cast<int>(e.nbComposantes);
  d.outcome = Description::Outcome::kBodyFault;
  if (!tailleValide(e)) {
    d.fault = ReadFault::kBadValue;
    return d;
  }
  const auto lines = static_cast<int32_t>(e.nbLigne);
  const auto columns = static_cast<int32_t>(e.nbColonne);
  const uint64_t values = static_cast<uint64_t>(lines) * static_cast<uint64_t>(columns) *
                          static_cast<uint64_t>(d.kind);
  // A body that the rest of the file cannot hold must fail: walk through it
  // for the same outcome as a reading, without allocating the planes.
  if (values > in.maxNumbersLeft()) {
    d.fault = parcoursValeurs(in, values);
    if (d.fault == ReadFault::kNone) d.fault = ReadFault::kMissingValues;  // cannot happen
    return d;
  }
  if (d.kind == kKindNB) {
    ImgNB img = initImageNB(nom, lines, columns);
    d.fault = lectureImgageNB(img, in);
    if (d.fault != ReadFault::kNone) return d;
    quantificationImageNB(img, bits);
    d.descripteur = descripteurNB(img);
  } else {
    ImgRGB img = initImageRGB(nom, lines, columns);
    d.fault = lectureImgageRGB(img, in);
    if (d.fault != ReadFault::kNone) return d;
    quantificationImageRGB(img, bits);
    d.descripteur = descripteurRGB(img, bits);
  }
  d.outcome = Description::Outcome::kDescribed;
  return d;
}

}  // namespace image
