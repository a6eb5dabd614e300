// The sound list: one line per indexed sound,
//   "<id> ID </id><fichier> NAME </fichier>\n"
// (no blank between "</id>" and "<fichier>", so a token reader sees the
// identifier, the joined mark, then the name).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace sound {

// The list being built by an indexing, with the set of its tokens so that the
// "already listed" test costs O(1) whatever the corpus size.
class SoundList {
 public:
  // 1 when the list holds a token equal to `name`, 0 otherwise.
  int read_desc(std::string_view name) const;
  // Appends the line of `name` under the next identifier (the number of lines
  // already listed) and returns that identifier.
  int addListeBaseSon(std::string_view name);
  const std::string& text() const { return text_; }

 private:
  std::string text_;
  int lines_ = 0;
  std::unordered_set<std::string> tokens_;
};

// The name of each descriptor position from 0 to count-1, read from list
// bytes: the token after each "<id>" is an identifier, and the first line whose
// identifier's leading integer equals a position gives its name, the second
// token after the identifier. Only identifier tokens are matched, so a name
// such as "3.bin" never stands for identifier 3. Positions without a name get
// an empty view.
std::vector<std::string_view> names_by_position(std::string_view list, size_t count);

}  // namespace sound
