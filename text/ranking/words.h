// Words of a text and their normal forms. A word is a longest run of letters
// (see letters.h), so digits, punctuation, hyphens and apostrophes split.
#pragma once

#include <string>
#include <string_view>

#include "text/ranking/letters.h"
#include "text/ranking/utf8.h"

namespace textrank {

// Calls f(word) for each word of well-formed UTF-8 text, in order; each word
// is a view into `text`.
template <class F>
void for_each_word(std::string_view text, F&& f) {
  const size_t n = text.size();
  size_t i = 0;
  size_t start = 0;
  bool inside = false;
  while (i < n) {
    const auto b = static_cast<unsigned char>(text[i]);
    const size_t at = i;
    bool letter;
    if (b < 0x80) {
      letter = ((b | 0x20) >= 'a' && (b | 0x20) <= 'z');
      ++i;
    } else {
      letter = is_letter(utf8::next(text, i));
    }
    if (letter != inside) {
      if (letter) {
        start = at;
      } else {
        f(text.substr(start, at - start));
      }
      inside = letter;
    }
  }
  if (inside) f(text.substr(start));
}

// Appends word `word` (well-formed UTF-8) in small letters.
void append_lower_word(std::string& out, std::string_view word);

// Appends small-letter word `word` without its accents.
void append_folded_word(std::string& out, std::string_view word);

}  // namespace textrank
