#include "image/base_list.h"

#include "common/numbers.h"
#include "common/tokens.h"
#include "image/image_file.h"

namespace image {

std::string_view nomType(int kind) { return kind == kKindRGB ? "RGB" : "NB"; }

std::string creationLien(int32_t id, std::string_view fichier, std::string_view type) {
  std::string out = "<id> ";
  out += std::to_string(id);
  out += " </id> <fichier> ";
  out += fichier;
  out += " </fichier> <type> ";
  out += type;
  out += " </type>\n";
  return out;
}

std::unordered_map<int32_t, std::string> nomsParId(std::string_view liste) {
  std::unordered_map<int32_t, std::string> noms;
  tokens::Reader in(liste);
  std::string_view word;
  bool haveId = false;
  int32_t id = 0;
  while (in.next(word)) {
    if (word == "<id>") {
      haveId = in.next(word);
      if (haveId) id = numbers::leading_int(word);
    } else if (word == "<fichier>" && haveId) {
      if (in.next(word)) noms.emplace(id, std::string(word));
      haveId = false;
    }
  }
  return noms;
}

}  // namespace image
