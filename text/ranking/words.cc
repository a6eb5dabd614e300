#include "text/ranking/words.h"

namespace textrank {

void append_lower_word(std::string& out, std::string_view word) {
  for (size_t i = 0; i < word.size();) {
    const auto b = static_cast<unsigned char>(word[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b >= 'A' && b <= 'Z' ? b + 0x20 : b));
      ++i;
    } else {
      utf8::append(out, to_lower(utf8::next(word, i)));
    }
  }
}

void append_folded_word(std::string& out, std::string_view word) {
  for (size_t i = 0; i < word.size();) {
    const auto b = static_cast<unsigned char>(word[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++i;
    } else {
      append_folded(out, utf8::next(word, i));
    }
  }
}

}  // namespace textrank
