#include "image/describe.h"

#include <vector>

namespace image {

namespace {

// Turns the non-empty bins into the descriptor's entries, in increasing order.
DescripteurImage fromBins(const std::vector<int32_t>& bins, int kind, int32_t columns,
                          int32_t lines) {
  DescripteurImage d;
  d.type = static_cast<uint8_t>(kind);
  d.nbcolonne = columns;
  d.nbligne = lines;
  for (size_t v = 0; v < bins.size(); ++v) {
    if (bins[v] == 0) continue;
    d.histo.valeurs.push_back(static_cast<int32_t>(v));
    d.histo.occurrences.push_back(bins[v]);
  }
  d.nbvaleur = static_cast<int32_t>(d.histo.valeurs.size());
  return d;
}

}  // namespace

DescripteurImage descripteurNB(const ImgNB& img) {
  std::vector<int32_t> bins(256, 0);
  for (const uint8_t v : img.matrice) ++bins[v];
  return fromBins(bins, kKindNB, img.nbColonne, img.nbLigne);
}

DescripteurImage descripteurRGB(const ImgRGB& img, const ParamBits& bits) {
  std::vector<int32_t> bins(size_t{1} << (3 * bits.PARAM_BITS_RGB), 0);
  for (const int32_t code : img.matriceEnc) ++bins[static_cast<size_t>(code)];
  return fromBins(bins, kKindRGB, img.nbColonne, img.nbLigne);
}

Description describeImage(std::string_view bytes, const std::string& nom, const ParamBits& bits) {
  return describeImage(lireImage(bytes, nom), bits);
}

Description describeImage(ImageLue img, const ParamBits& bits) {
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
