#include "keyword/list_reader.h"

#include <vector>

#include "common/tokens.h"

namespace keyword {

TextList read_text_list(std::string_view list) {
  std::vector<std::string_view> words;
  tokens::Reader in(list);
  std::string_view token;
  while (in.next(token)) words.push_back(token);

  TextList names;
  for (size_t k = 0; k + 4 < words.size(); ++k) {
    if (words[k] == "<id>") names.emplace(words[k + 1], words[k + 4]);
  }
  return names;
}

}  // namespace keyword
