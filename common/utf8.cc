#include "common/utf8.h"

namespace utf8 {

bool valid(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    size_t n;
    unsigned char lo = 0x80, hi = 0xbf;  // bounds of the second byte
    if (c >= 0xc2 && c <= 0xdf) {
      n = 1;
    } else if (c >= 0xe0 && c <= 0xef) {
      n = 2;
      if (c == 0xe0) lo = 0xa0;  // overlong
      if (c == 0xed) hi = 0x9f;  // surrogates
    } else if (c >= 0xf0 && c <= 0xf4) {
      n = 3;
      if (c == 0xf0) lo = 0x90;  // overlong
      if (c == 0xf4) hi = 0x8f;  // above U+10FFFF
    } else {
      return false;
    }
    if (static_cast<size_t>(end - p) <= n) return false;
    if (p[1] < lo || p[1] > hi) return false;
    for (size_t k = 2; k <= n; ++k)
      if ((p[k] & 0xc0) != 0x80) return false;
    p += n + 1;
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
