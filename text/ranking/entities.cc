#include "text/ranking/entities.h"

#include <cstdint>

namespace textrank {

namespace {

// U+00A0..U+00FF in order.
constexpr std::string_view kLatin1Names[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",
    "uml",    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",
    "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",  "para",   "middot",
    "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest",
    "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",
    "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",
    "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

struct Named {
  std::string_view name;
  char32_t code;
};
constexpr Named kOtherNames[] = {
    {"quot", 0x22},     {"amp", 0x26},     {"apos", 0x27},    {"lt", 0x3C},
    {"gt", 0x3E},       {"OElig", 0x152},  {"oelig", 0x153},  {"Scaron", 0x160},
    {"scaron", 0x161},  {"Yuml", 0x178},   {"fnof", 0x192},   {"circ", 0x2C6},
    {"tilde", 0x2DC},   {"ensp", 0x2002},  {"emsp", 0x2003},  {"thinsp", 0x2009},
    {"zwnj", 0x200C},   {"zwj", 0x200D},   {"lrm", 0x200E},   {"rlm", 0x200F},
    {"ndash", 0x2013},  {"mdash", 0x2014}, {"lsquo", 0x2018}, {"rsquo", 0x2019},
    {"sbquo", 0x201A},  {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"bdquo", 0x201E},
    {"dagger", 0x2020}, {"Dagger", 0x2021}, {"bull", 0x2022}, {"hellip", 0x2026},
    {"permil", 0x2030}, {"prime", 0x2032}, {"lsaquo", 0x2039}, {"rsaquo", 0x203A},
    {"euro", 0x20AC},   {"trade", 0x2122},
};

constexpr size_t kLongestName = 6;

bool is_alnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

char32_t named_entity(std::string_view name) {
  for (size_t i = 0; i < 96; ++i)
    if (kLatin1Names[i] == name) return static_cast<char32_t>(0xA0 + i);
  for (const Named& n : kOtherNames)
    if (n.name == name) return n.code;
  return 0;
}

size_t read_entity(std::string_view s, char32_t& c) {
  if (s.size() < 3 || s[0] != '&') return 0;
  if (s[1] != '#') {
    size_t i = 1;
    while (i < s.size() && i <= kLongestName && is_alnum(s[i])) ++i;
    if (i == 1 || i >= s.size() || s[i] != ';') return 0;
    const char32_t named = named_entity(s.substr(1, i - 1));
    if (named == 0) return 0;
    c = named;
    return i + 1;
  }
  const bool hex = s[2] == 'x' || s[2] == 'X';
  const size_t first = hex ? 3 : 2;
  uint32_t value = 0;
  size_t i = first;
  // Eight digits are enough for any code point, with leading zeros; the
  // value saturates past the last code point.
  for (; i < s.size() && i < first + 8; ++i) {
    const int d = hex ? hex_value(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
    if (d < 0) break;
    value = value * (hex ? 16 : 10) + static_cast<uint32_t>(d);
    if (value > 0x10FFFF) value = 0x110000;
  }
  if (i == first || i >= s.size() || s[i] != ';') return 0;
  const bool none = value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF);
  c = none ? 0xFFFD : value;
  return i + 1;
}

}  // namespace textrank
