#include "common/utf8.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace utf8 {

bool valid(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const unsigned char* const end = p + s.size();
  while (p < end) {
    // Runs of ASCII go eight bytes at a time.
    if (end - p >= 8) {
      uint64_t v;
      std::memcpy(&v, p, 8);
      const uint64_t high = v & 0x8080808080808080ull;
      if (high == 0) {
        p += 8;
        continue;
      }
      p += std::countr_zero(high) / 8;  // past the ASCII bytes before it
    }
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    size_t n;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 3;
      if (c == 0xE0) lo = 0xA0;  // overlong
      if (c == 0xED) hi = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 4;
      if (c == 0xF0) lo = 0x90;  // overlong
      if (c == 0xF4) hi = 0x8F;  // past U+10FFFF
    } else {
      return false;
    }
    if (static_cast<size_t>(end - p) < n) return false;
    if (p[1] < lo || p[1] > hi) return false;
    for (size_t k = 2; k < n; ++k)
      if ((p[k] & 0xC0) != 0x80) return false;
    p += n;
  }
  return true;
}


std::string from_latin1(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xc0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3f));
    }
  }
  return out;
}

std::string as_utf8(std::string_view bytes) {
  return valid(bytes) ? std::string(bytes) : from_latin1(bytes);
}

}  // namespace utf8
