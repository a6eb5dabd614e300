#include "text/describe.h"

#include <array>
#include <charconv>
#include <cstring>
#include <vector>

#include "text/word_table.h"

namespace text {

namespace {

constexpr bool is_punctuation(unsigned char c) {
  switch (c) {
    case '.': case ',': case ';': case '?': case '!':
    case ')': case '(': case ':': case '%':
      return true;
    default:
      return false;
  }
}

// For a byte met outside any mark: whether it reaches the pure text, and as
// which byte (the apostrophe as a blank; ">" is never written).
struct ByteRule {
  std::array<unsigned char, 256> keep{};
  std::array<char, 256> as{};
};
constexpr ByteRule make_rule() {
  ByteRule r;
  for (int c = 0; c < 256; ++c) {
    const auto b = static_cast<unsigned char>(c);
    r.keep[b] = (is_punctuation(b) || b == '>') ? 0 : 1;
    r.as[b] = static_cast<char>(b == '\'' ? ' ' : b);
  }
  return r;
}
constexpr ByteRule kRule = make_rule();

constexpr std::array<bool, 256> make_space_table() {
  std::array<bool, 256> t{};
  for (const unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) t[c] = true;
  return t;
}
constexpr std::array<bool, 256> kSpace = make_space_table();

std::string_view kStopWords[] = {"dans", "pour", "avec", "elle", "nous", "vous", "sont"};

void append_number(std::string& out, int64_t value) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

}  // namespace

int testPonctuation_TEXTE(unsigned char c) { return is_punctuation(c) ? 0 : 1; }

std::string sortMeBalises(std::string_view document) {
  // Bytes are written only while past a ">" and outside any mark. Until the
  // first ">", and from each "<" to the next ">", nothing is written, so
  // those stretches are skipped whole; in between, each byte goes through the
  // rule table.
  std::string pure(document.size(), '\0');
  char* out = pure.data();
  const char* p = document.data();
  const char* const end = p + document.size();
  while (p < end) {
    const auto* gt = static_cast<const char*>(std::memchr(p, '>', static_cast<size_t>(end - p)));
    if (gt == nullptr) break;
    p = gt + 1;
    const auto* lt = static_cast<const char*>(std::memchr(p, '<', static_cast<size_t>(end - p)));
    const char* const stop = lt == nullptr ? end : lt;
    for (; p < stop; ++p) {
      const auto c = static_cast<unsigned char>(*p);
      *out = kRule.as[c];
      out += kRule.keep[c];
    }
  }
  pure.resize(static_cast<size_t>(out - pure.data()));
  return pure;
}

int verifyPertinence(std::string_view word) {
  if (!word.empty() && static_cast<unsigned char>(word[0]) == 0xE0) return 0;
  if (word.size() <= 3) return 0;
  for (const std::string_view stop : kStopWords)
    if (equal_fold_ascii(word, stop)) return 0;
  return 1;
}

std::string searchOccurencesAndInsertBD(std::string_view pure, int64_t threshold) {
  WordTable<false> table(pure.size() / 16 + 16);
  std::vector<uint64_t> counts;
  const char* p = pure.data();
  const char* const end = p + pure.size();
  for (;;) {
    while (p < end && kSpace[static_cast<unsigned char>(*p)]) ++p;
    if (p == end) break;
    const char* const start = p;
    while (p < end && !kSpace[static_cast<unsigned char>(*p)]) ++p;
    const uint32_t id = table.intern(std::string_view(start, static_cast<size_t>(p - start)));
    if (id == counts.size()) counts.push_back(0);
    ++counts[id];
  }
  // Words are numbered in order of first occurrence, and a word's count and
  // relevance are the same at each of its occurrences, so one walk over the
  // distinct words gives the entries in document order.
  std::string list;
  for (uint32_t id = 0; id < table.size(); ++id) {
    const std::string_view word = table.word(id);
    if (static_cast<int64_t>(counts[id]) < threshold) continue;
    if (!verifyPertinence(word)) continue;
    list.append(word);
    list.push_back(' ');
    append_number(list, static_cast<int64_t>(counts[id]));
    list.append(" ; ");
  }
  return list;
}

Description indexFile(std::string_view document, int64_t threshold) {
  Description d;
  d.pure = sortMeBalises(document);
  d.words = searchOccurencesAndInsertBD(d.pure, threshold);
  return d;
}

}  // namespace text
