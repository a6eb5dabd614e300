// Look-up of one word in the text inverted index, over the index's bytes.
#pragma once

#include <string_view>
#include <vector>

namespace keyword {

// One document of a word's record: its identifier and the word's count there.
struct Hit {
  int id = 0;
  int count = 0;
};

struct Lookup {
  bool found = false;     // a "<mot>" token was followed by the word
  std::vector<Hit> hits;  // its documents, in the order of the record
};

// Scans the index token by token. When "<mot>" is followed by a token equal to
// `word` byte for byte, the tokens up to "<key_nb>" are skipped and groups of
// (identifier, count, separator) are read until the separator "</key_nb>".
// The scan goes on to the end; a later record of the same word replaces the
// hits of an earlier one. Numbers are read as atoi reads them.
Lookup find_word(std::string_view index, std::string_view word);

}  // namespace keyword
