#include "text/ranking/letters.h"

#include "common/utf8.h"

namespace textrank {

namespace {

// Plain forms of U+00C0..U+00FF and U+0100..U+017F, one byte per code point:
// a letter stands for itself, a digit for one of kLonger, '.' for "not a
// letter".
constexpr char kLatin1[] =
    "aaaaaa1ceeeeiiiidnooooo.ouuuuy23"   // U+00C0..U+00DF
    "aaaaaa1ceeeeiiiidnooooo.ouuuuy2y";  // U+00E0..U+00FF
constexpr char kExtendedA[] =
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii44jjkkklllllll"  // U+0100..U+013F
    "lllnnnnnnnnnoooooo55rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";  // U+0140..U+017F
constexpr const char* kLonger[] = {"", "ae", "th", "ss", "ij", "oe"};

static_assert(sizeof kLatin1 == 64 + 1);
static_assert(sizeof kExtendedA == 128 + 1);

}  // namespace

bool is_letter(char32_t c) {
  if (c < 0x80) return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
  if (c < 0xC0) return c == 0xAA || c == 0xB5 || c == 0xBA;
  if (c < 0x100) return c != 0xD7 && c != 0xF7;
  if (c < 0x2B0) return true;                 // Latin Extended-A and -B, IPA
  if (c < 0x300) return false;                // modifier letters: ʼ ˆ ˜ ...
  if (c < 0x370) return true;                 // combining accents
  if (c == 0x37E || c == 0x387) return false;  // Greek question mark, ano teleia
  if (c >= 0x2000 && c < 0x2C00) return false;  // punctuation, symbols, arrows, ...
  if (c >= 0x2E00 && c < 0x2E80) return false;  // supplemental punctuation
  if (c >= 0x3000 && c < 0x3040) return false;  // CJK punctuation
  if (c >= 0xD800 && c < 0xF900) return false;  // surrogates, private use
  if (c >= 0xFE10 && c < 0xFE70) return false;  // vertical and small forms
  if (c == 0xFEFF) return false;               // byte order mark
  if (c >= 0xFF00 && c < 0xFF21) return false;  // full-width punctuation and digits
  if ((c >= 0xFF3B && c < 0xFF41) || (c >= 0xFF5B && c < 0xFF66)) return false;
  if (c >= 0xFFF0 && c < 0x10000) return false;  // replacement character, noncharacters
  if (c >= 0x1F000) return false;                // symbols, emoji, private planes
  return true;
}

char32_t to_lower(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  if (c >= 0x100 && c < 0x180) {
    if (c == 0x130) return 'i';     // İ
    if (c == 0x178) return 0xFF;    // Ÿ
    if (c == 0x138 || c == 0x149 || c == 0x17F) return c;  // ĸ ŉ ſ have no capital
    // Capitals come first in each pair; the pairs shift by one at U+0139
    // and back at U+014A, and again at U+0179.
    const bool odd_capital = (c >= 0x139 && c < 0x149) || c >= 0x179;
    const bool capital = odd_capital ? (c & 1) == 1 : (c & 1) == 0;
    return capital ? c + 1 : c;
  }
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;  // Greek
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

void append_folded(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
    return;
  }
  if (c >= 0xC0 && c < 0x180) {
    const char plain = c < 0x100 ? kLatin1[c - 0xC0] : kExtendedA[c - 0x100];
    if (plain >= 'a') {
      out.push_back(plain);
      return;
    }
    if (plain >= '1' && plain <= '5') {
      out.append(kLonger[plain - '0']);
      return;
    }
  }
  if (c >= 0x300 && c < 0x370) return;
  if (c >= 0xFB00 && c <= 0xFB06) {
    constexpr const char* kLigatures[] = {"ff", "fi", "fl", "ffi", "ffl", "st", "st"};
    out.append(kLigatures[c - 0xFB00]);
    return;
  }
  utf8::append(out, c);
}

}  // namespace textrank
