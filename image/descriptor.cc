#include "image/descriptor.h"

#include <algorithm>
#include <charconv>

namespace image {

size_t DescripteurImage::entries() const {
  const size_t announced = nbvaleur > 0 ? static_cast<size_t>(nbvaleur) : 0;
  return std::min({announced, histo.valeurs.size(), histo.occurrences.size()});
}

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

void appendInt(std::string& out, long long v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

// "0x" and `digits` lower-case hexadecimal digits (more when the value needs them).
void appendHex(std::string& out, uint32_t v, int digits) {
  static const char kHex[] = "0123456789abcdef";
  char buf[8];
  int n = 0;
  do {
    buf[n++] = kHex[v & 15];
    v >>= 4;
  } while (v != 0);
  out += "0x";
  for (int k = n; k < digits; ++k) out += '0';
  while (n > 0) out += buf[--n];
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

std::string_view nomType(int kind) { return kind == kKindRGB ? "RGB" : "NB"; }

void appendCorps(std::string& out, const DescripteurImage& d) {
  const bool colour = d.type == kKindRGB;
  out += colour ? "<type> RGB </type>\n" : "<type> NB </type>\n";
  out += "<nbcolonne> ";
  appendInt(out, d.nbcolonne);
  out += " </nbcolonne>\n<nbligne> ";
  appendInt(out, d.nbligne);
  out += " </nbligne>\n<nbvaleur> ";
  appendInt(out, d.nbvaleur);
  out += " </nbvaleur>\n<valeurs>\n";
  const size_t n = d.entries();
  for (size_t k = 0; k < n; ++k) {
    appendHex(out, static_cast<uint32_t>(d.histo.valeurs[k]), colour ? 4 : 2);
    out += ": ";
    appendInt(out, d.histo.occurrences[k]);
    out += ";\n";
  }
  out += "</valeurs>\n\n";
}

std::string creationDescripteur(const DescripteurImage& d, int32_t id) {
  std::string out = "<id> ";
  appendInt(out, id);
  out += " </id>\n";
  appendCorps(out, d);
  return out;
}

std::string enteteBase(const ParamBits& bits) {
  std::string out = "NB_BIT_RGB: ";
  appendInt(out, bits.PARAM_BITS_RGB);
  out += "\nNB_BIT_NB: ";
  appendInt(out, bits.PARAM_BITS_NB);
  out += '\n';
  return out;
}

std::string creationLien(int32_t id, std::string_view fichier, std::string_view type) {
  std::string out = "<id> ";
  appendInt(out, id);
  out += " </id> <fichier> ";
  out += fichier;
  out += " </fichier> <type> ";
  out += type;
  out += " </type>\n";
  return out;
}

}  // namespace image
