// Words of a text and their normal forms. A word is a longest run of letters
// (see letters.h), so digits, punctuation, hyphens and apostrophes split.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "text/ranking/letters.h"
#include "common/utf8.h"

namespace textrank {

// Calls f(word) for each word of well-formed UTF-8 text, in order; each word
// is a view into `text`.
constexpr bool is_ascii_letter(unsigned char b) { return static_cast<unsigned char>((b | 0x20) - 'a') < 26; }

// Whether the code point at text[i] (a byte from 0x80) is a letter; `i`
// moves past it. Latin letters, two bytes each, are settled here.
inline bool next_is_letter(std::string_view text, size_t& i) {
  const auto b = static_cast<unsigned char>(text[i]);
  if (b >= 0xC3 && b <= 0xC9 && i + 1 < text.size()) {
    const auto c = static_cast<unsigned char>(text[i + 1]);
    i += 2;
    return b != 0xC3 || (c != 0x97 && c != 0xB7);  // not × or ÷
  }
  return is_letter(utf8::next(text, i));
}

namespace detail {
// 0: an ASCII byte that is no letter, 1: an ASCII letter, 2: a byte from 0x80.
inline constexpr struct ByteClasses {
  unsigned char of[256];
  constexpr ByteClasses() : of{} {
    for (int b = 0; b < 256; ++b) of[b] = b >= 0x80 ? 2 : is_ascii_letter(static_cast<unsigned char>(b)) ? 1 : 0;
  }
} kByteClasses;
// The top bit of each of the eight bytes at p that is not an ASCII letter.
inline uint64_t not_ascii_letters(const unsigned char* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  const uint64_t x = (v | 0x2020202020202020ull) & 0x7F7F7F7F7F7F7F7Full;  // small, seven bits
  const uint64_t from_a = x + 0x1F1F1F1F1F1F1F1Full;                       // top bit: x >= 'a'
  const uint64_t past_z = x + 0x0505050505050505ull;                       // top bit: x > 'z'
  return ~(from_a & ~past_z & ~v) & 0x8080808080808080ull;
}
}  // namespace detail

template <class F>
void for_each_word(std::string_view text, F&& f) {
  const unsigned char* const p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* const of = detail::kByteClasses.of;
  const size_t n = text.size();
  size_t i = 0;
  for (;;) {
    // To the next letter.
    size_t start;
    for (;;) {
      while (i < n && of[p[i]] == 0) ++i;
      if (i >= n) return;
      start = i;
      if (of[p[i]] == 1) {
        ++i;
        break;
      }
      if (next_is_letter(text, i)) break;
    }
    // To the end of its run: eight ASCII letters at a time, then one
    // character at a time.
    for (;;) {
      while (i + 8 <= n) {
        const uint64_t stop = detail::not_ascii_letters(p + i);
        if (stop != 0) {
          i += static_cast<size_t>(std::countr_zero(stop)) / 8;
          break;
        }
        i += 8;
      }
      while (i < n && of[p[i]] == 1) ++i;
      if (i >= n || of[p[i]] == 0) break;
      size_t k = i;
      if (!next_is_letter(text, k)) break;
      i = k;
    }
    f(text.substr(start, i - start));
  }
}

// Appends word `word` (well-formed UTF-8) in small letters.
void append_lower_word(std::string& out, std::string_view word);

// Appends small-letter word `word` without its accents.
void append_folded_word(std::string& out, std::string_view word);

}  // namespace textrank
