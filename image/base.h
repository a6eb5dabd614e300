// The descriptor base "base_descripteur_image.txt": its head (the bit counts
// the images were quantised with) and its records (one histogram per image),
// written and read back. Pure functions over bytes.
//
//   NB_BIT_RGB: 3
//   NB_BIT_NB: 4
//   <id> 3 </id>
//   <type> NB </type>
//   <nbcolonne> 2 </nbcolonne>
//   <nbligne> 2 </nbligne>
//   <nbvaleur> 2 </nbvaleur>
//   <valeurs>
//   0x03: 3;
//   0x0c: 1;
//   </valeurs>
//   (empty line)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/tokens.h"
#include "image/image_file.h"

namespace image {

// Values and their pixel counts, entry by entry, in increasing order of value
// for a descriptor that this module built.
struct Histo {
  std::vector<int32_t> valeurs;
  std::vector<int32_t> occurrences;
};

// One descriptor: built from an image (describe.h), or read back from the base.
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

// ---- writing ----

// The two head lines of the base.
std::string enteteBase(const ParamBits& bits);

// The record after its identifier line: kind and sizes, value count, the value
// lines ("0x" and lower-case hexadecimal zero-padded to 2 digits for grey, to 4
// for colour, then ": count;"), the closing mark and an empty line.
void appendCorps(std::string& out, const DescripteurImage& d);

// The identifier line "<id> ID </id>\n".
void appendId(std::string& out, int32_t id);

// The whole record: the identifier line then the body above.
std::string creationDescripteur(const DescripteurImage& d, int32_t id);

// ---- reading ----

// Reads the base's head, its first four words: the second gives the colour
// bit count and the fourth the grey bit count. False when the head is missing
// or gives a count the quantisations cannot use (grey 1 to 7, colour 1 to 5).
bool lireEnteteBase(tokens::Reader& in, ParamBits& bits);

// Reads the next record from `in`. `complete` is true when the record's
// closing mark "</valeurs>" was reached; false when the input ended first (the
// record is then empty and must not be used).
//
// Outside a record's values the words "<id>", "<type>", "<nbcolonne>",
// "<nbligne>", "<nbvaleur>" and "<valeurs>" announce the next word; a field
// word is converted (leading decimal digits, or "RGB" for the kind) and then
// itself compared with the marks. After "<valeurs>" the words alternate
// between a value (strtol base 0, stopping at the colon) and its pixel count
// (leading decimal digits, stopping at the semicolon), until "</valeurs>",
// which ends the record in whatever state it comes. Value lines are not
// counted against the announced number: the entries grow as they are read,
// so the memory a record takes follows its bytes, never the numbers it
// announces.
DescripteurImage lireDescripteur(tokens::Reader& in, bool& complete);

}  // namespace image
