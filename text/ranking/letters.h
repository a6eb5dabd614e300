// What counts as a letter, and how letters are lower-cased and stripped of
// their accents. Latin scripts are handled in full (Latin-1, Latin
// Extended-A, the common ligatures); Greek and Cyrillic capitals are
// lower-cased too. Other scripts are letters kept as they are.
#pragma once

#include <string>

namespace textrank {

// Letters make words; everything else (digits, punctuation, symbols, white
// space, apostrophes of every kind) separates them. Combining accents count
// as letters so that decomposed text keeps its words whole.
bool is_letter(char32_t c);

// The small letter of capital `c`; any other code point is returned as is.
char32_t to_lower(char32_t c);

// Appends small letter `c` without its accents: é as "e", œ as "oe", ß as
// "ss", ﬁ as "fi"; a combining accent appends nothing. Code points with no
// plainer form are appended as they are.
void append_folded(std::string& out, char32_t c);

}  // namespace textrank
