// UTF-8 checks for text shown to people or put in JSON: bytes that are not
// valid UTF-8 are read as ISO-8859-1, the other encoding the corpora use.
#pragma once

#include <string>
#include <string_view>

namespace utf8 {

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool valid(std::string_view bytes);

// Each byte as the ISO-8859-1 character of that code, in UTF-8.
std::string from_latin1(std::string_view bytes);

// `bytes` when valid UTF-8, else from_latin1(bytes).
std::string as_utf8(std::string_view bytes);

}  // namespace utf8
