// Reading descriptor files back: the head of the descriptor base, its records,
// and the file names of the image list. Pure functions over the bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "common/tokens.h"
#include "image/descriptor.h"
#include "image/image_file.h"

namespace image {

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
// counted against the announced number: the entries grow as they are read.
DescripteurImage lireDescripteur(tokens::Reader& in, bool& complete);

// Reads the base's head, its first four words: the second gives the colour
// bit count and the fourth the grey bit count. False when the head is missing
// or gives a count the quantisations cannot use (grey 1 to 7, colour 1 to 5).
bool lireEnteteBase(tokens::Reader& in, ParamBits& bits);

// The file name of each identifier of the image list (the first line wins
// when an identifier appears twice).
std::unordered_map<int32_t, std::string> nomsParId(std::string_view liste);

}  // namespace image
