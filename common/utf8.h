// UTF-8 checks for text shown to people or put in JSON: bytes that are not
// valid UTF-8 are read as ISO-8859-1, the other encoding the corpora use.
#pragma once

#include <cstddef>
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

// The code point starting at s[i] of well-formed UTF-8; `i` moves past it.
inline char32_t next(std::string_view s, size_t& i) {
  const auto b = [&s](size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[k])); };
  const char32_t c = b(i);
  if (c < 0x80) {
    i += 1;
    return c;
  }
  if (c < 0xE0) {
    const char32_t r = ((c & 0x1F) << 6) | (b(i + 1) & 0x3F);
    i += 2;
    return r;
  }
  if (c < 0xF0) {
    const char32_t r = ((c & 0x0F) << 12) | ((b(i + 1) & 0x3F) << 6) | (b(i + 2) & 0x3F);
    i += 3;
    return r;
  }
  const char32_t r = ((c & 0x07) << 18) | ((b(i + 1) & 0x3F) << 12) | ((b(i + 2) & 0x3F) << 6) |
                     (b(i + 3) & 0x3F);
  i += 4;
  return r;
}

// Appends code point `c` (at most U+10FFFF, not a surrogate).
inline void append(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}


}  // namespace utf8
