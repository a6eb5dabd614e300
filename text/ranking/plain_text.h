// The readable text of a document's bytes, as UTF-8: marks become blanks and
// character entities the characters they name.
#pragma once

#include <string>
#include <string_view>

namespace textrank {

// Writes into `out` (replacing its content) the text of `bytes`:
// - bytes that are not well-formed UTF-8 as a whole are read as ISO-8859-1,
//   with 0x80..0x9F read as Windows-1252 does (œ, ’, €, ...), since text
//   labelled Latin-1 is often that;
// - each mark, from a "<" followed by a letter, "/", "!" or "?" to the next
//   ">", becomes one blank; another "<", or one with no ">" after it, is
//   kept as it is, and so is an address such as
//   "<https://exemple.org>" or "<nom@exemple.org>"; text before the first
//   mark is text too;
// - "&...;" entities outside marks are decoded (unknown ones are kept).
void plain_text(std::string_view bytes, std::string& out);

}  // namespace textrank
