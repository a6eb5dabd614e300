#include "text/ranking/plain_text.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "text/ranking/entities.h"
#include "common/utf8.h"

namespace textrank {

namespace {

// Windows-1252 at 0x80..0x9F; its five holes keep their C1 control codes.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Bytes that end a run copied as it is: "<", "&", and, for Latin-1 text,
// every byte from 0x80.
constexpr std::array<bool, 256> make_stops(bool latin1) {
  std::array<bool, 256> t{};
  t['<'] = t['&'] = true;
  if (latin1)
    for (int c = 0x80; c < 256; ++c) t[c] = true;
  return t;
}
constexpr std::array<bool, 256> kUtf8Stops = make_stops(false);
constexpr std::array<bool, 256> kLatin1Stops = make_stops(true);

// Marks start with a name, an end mark's "/", "<!" or "<?"; "< " and "<3"
// are text.
bool opens_mark(char c) {
  const auto b = static_cast<unsigned char>(c);
  return ((b | 0x20) >= 'a' && (b | 0x20) <= 'z') || b == '/' || b == '!' || b == '?' || b == '_' || b >= 0x80;
}

// "<https://exemple.org/a>" or "<nom@exemple.org>" in running text is an
// address, not a mark: no blank inside, and "://" or "@".
bool is_address(std::string_view inside) {
  if (inside.empty() || inside.size() > 2048) return false;
  for (const char c : inside)
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '"' || c == '\'' || c == '<') return false;
  return inside.find("://") != std::string_view::npos || inside.find('@') != std::string_view::npos;
}

// Non-zero when one of the eight bytes at p is c.
uint64_t has_byte(const char* p, char c) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  v ^= 0x0101010101010101ull * static_cast<unsigned char>(c);
  return (v - 0x0101010101010101ull) & ~v & 0x8080808080808080ull;
}

}  // namespace

void plain_text(std::string_view bytes, std::string& out) {
  out.clear();
  out.reserve(bytes.size() + bytes.size() / 8);
  const bool latin1 = !utf8::valid(bytes);
  const std::array<bool, 256>& stops = latin1 ? kLatin1Stops : kUtf8Stops;
  // Past the last ">", no "<" can open a mark.
  size_t closable = bytes.size();
  while (closable > 0 && bytes[closable - 1] != '>') --closable;
  if (closable > 0) --closable;  // the position of that ">"
  size_t i = 0;
  const size_t n = bytes.size();
  while (i < n) {
    size_t j = i;
    if (!latin1) {
      // Eight bytes at a time up to the next "<" or "&".
      while (j + 8 <= n) {
        const uint64_t hit = has_byte(bytes.data() + j, '<') | has_byte(bytes.data() + j, '&');
        if (hit != 0) break;
        j += 8;
      }
    }
    while (j < n && !stops[static_cast<unsigned char>(bytes[j])]) ++j;
    out.append(bytes.data() + i, j - i);
    if (j == n) break;
    const auto c = static_cast<unsigned char>(bytes[j]);
    if (c == '<') {
      const auto* gt = j < closable && opens_mark(bytes[j + 1])
                           ? static_cast<const char*>(std::memchr(bytes.data() + j + 1, '>', closable - j))
                           : nullptr;
      const size_t after = gt == nullptr ? 0 : static_cast<size_t>(gt - bytes.data()) + 1;
      if (gt != nullptr && !is_address(bytes.substr(j + 1, after - j - 2))) {
        out.push_back(' ');
        i = after;
      } else {
        out.push_back('<');
        i = j + 1;
      }
    } else if (c == '&') {
      char32_t code = 0;
      const size_t used = read_entity(bytes.substr(j), code);
      if (used == 0) {
        out.push_back('&');
        i = j + 1;
      } else {
        utf8::append(out, code);
        i = j + used;
      }
    } else {
      utf8::append(out, c < 0xA0 ? kWindows1252[c - 0x80] : c);
      i = j + 1;
    }
  }
}

}  // namespace textrank
