// The image list "liste_base_image.txt": one line per indexed image giving
// its identifier, its bare file name and its kind, written and read back.
//
//   <id> 0 </id> <fichier> a.txt </fichier> <type> RGB </type>
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace image {

// "NB" or "RGB", the kind word of a list line.
std::string_view nomType(int kind);

// One line of the list.
std::string creationLien(int32_t id, std::string_view fichier, std::string_view type);

// The file name of each identifier of the list (the first line wins when an
// identifier appears twice).
std::unordered_map<int32_t, std::string> nomsParId(std::string_view liste);

}  // namespace image
