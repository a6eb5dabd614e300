// Histogram descriptors of images: building them from quantised records and
// the text of the descriptor base, the query descriptor and the image list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "image/image_file.h"

namespace image {

// Values and their pixel counts, entry by entry, in increasing order of value
// for a descriptor that this module built.
struct Histo {
  std::vector<int32_t> valeurs;
  std::vector<int32_t> occurrences;
};

// One descriptor: built from an image, or read back from a descriptor file.
struct DescripteurImage {
  Histo histo;
  int32_t nbcolonne = 0;
  int32_t nbligne = 0;
  int32_t nbvaleur = 0;  // number of value lines announced by the record
  int32_t id = 0;
  uint8_t type = kKindNB;  // kKindRGB when the kind word is "RGB", else grey

  // Entries that can be scored: those announced by nbvaleur and actually read.
  size_t entries() const;
};

// Histogram of a quantised grey image (values < 256) and of a quantised colour
// image (codes below 2^(3n)), counted in direct-indexed bins. id stays 0.
DescripteurImage descripteurNB(const ImgNB& img);
DescripteurImage descripteurRGB(const ImgRGB& img, const ParamBits& bits);

// The record after its identifier line: kind and sizes, value count, the value
// lines ("0x" and lower-case hexadecimal zero-padded to 2 digits for grey, to 4
// for colour, then ": count;"), the closing mark and an empty line.
void appendCorps(std::string& out, const DescripteurImage& d);

// The whole record: "<id> %d </id>\n" then the body above.
std::string creationDescripteur(const DescripteurImage& d, int32_t id);

// The two head lines of the descriptor base.
std::string enteteBase(const ParamBits& bits);

// One line of the image list.
std::string creationLien(int32_t id, std::string_view fichier, std::string_view type);

// "NB" or "RGB".
std::string_view nomType(int kind);

}  // namespace image
