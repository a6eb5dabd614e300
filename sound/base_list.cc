#include "sound/base_list.h"

#include <charconv>

#include "common/numbers.h"
#include "common/tokens.h"

namespace sound {

int SoundList::read_desc(std::string_view name) const {
  return tokens_.count(std::string(name)) ? 1 : 0;
}

int SoundList::addListeBaseSon(std::string_view name) {
  const int id = lines_++;
  char digits[16];
  const std::string_view id_text(digits, std::to_chars(digits, digits + sizeof digits, id).ptr -
                                             digits);
  text_ += "<id> ";
  text_ += id_text;
  text_ += " </id><fichier> ";
  text_ += name;
  text_ += " </fichier>\n";
  // The tokens of the new line, as a white-space reader of the list sees them.
  for (std::string_view t : {std::string_view("<id>"), id_text, std::string_view("</id><fichier>"),
                             std::string_view("</fichier>")})
    tokens_.emplace(t);
  tokens_.emplace(name);
  return id;
}

std::vector<std::string_view> names_by_position(std::string_view list, size_t count) {
  std::vector<std::string_view> names(count);
  std::vector<bool> decided(count, false);
  tokens::Reader reader(list);
  std::string_view t;
  while (reader.next(t)) {
    if (t != "<id>") continue;
    std::string_view id;
    if (!reader.next(id)) break;  // the identifier is consumed, never taken for a mark
    const int64_t position = numbers::leading_long(id);
    if (position < 0 || static_cast<uint64_t>(position) >= count) continue;
    const auto p = static_cast<size_t>(position);
    if (decided[p]) continue;
    decided[p] = true;
    // The name is looked at without being consumed: the scan for the other
    // positions goes on from the token after the identifier.
    tokens::Reader ahead = reader;
    std::string_view joined, name;
    if (ahead.next(joined) && ahead.next(name)) names[p] = name;
  }
  return names;
}

}  // namespace sound
