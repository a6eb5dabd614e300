#include "text/extraction.h"

#include <array>
#include <charconv>
#include <vector>

#include "common/numbers.h"
#include "common/tokens.h"
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

// Per byte: 0 dropped, 1 kept as is, 2 kept as a blank (the apostrophe).
constexpr std::array<unsigned char, 256> make_keep_table() {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = is_punctuation(static_cast<unsigned char>(c)) ? 0 : 1;
  t['>'] = 0;
  t['<'] = 0;
  t['\''] = 2;
  return t;
}
constexpr std::array<unsigned char, 256> kKeep = make_keep_table();

std::string_view kStopWords[] = {"dans", "pour", "avec", "elle", "nous", "vous", "sont"};

void append_number(std::string& out, int64_t value) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

}  // namespace

int testPonctuation_TEXTE(unsigned char c) { return is_punctuation(c) ? 0 : 1; }

std::string sortMeBalises(std::string_view document) {
  std::string pure;
  pure.reserve(document.size());
  // Kept bytes are those met while past a ">" and not inside a mark; a "<"
  // enters a mark and ends the "past" state until the next ">".
  bool outside = false;
  for (const char ch : document) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '<') {
      outside = false;
    } else if (c == '>') {
      outside = true;
    } else if (outside) {
      const unsigned char k = kKeep[c];
      if (k == 1) {
        pure.push_back(ch);
      } else if (k == 2) {
        pure.push_back(' ');
      }
    }
  }
  return pure;
}

int verifyPertinence(std::string_view word) {
  if (!word.empty() && static_cast<unsigned char>(word[0]) == 0xE0) return 0;
  if (word.size() <= 3) return 0;
  for (const std::string_view stop : kStopWords)
    if (equal_fold_ascii(word, stop)) return 0;
  return 1;
}

int64_t recupParamConfigTexte(std::string_view config) {
  tokens::Reader reader(config);
  std::string_view token;
  while (reader.next(token)) {
    if (token == "txt_nboccurrences:") {
      if (!reader.next(token)) return kDefaultThreshold;
      return numbers::leading_long(token);
    }
  }
  return kDefaultThreshold;
}

std::string searchOccurencesAndInsertBD(std::string_view pure, int64_t threshold) {
  WordTable<false> table(pure.size() / 16 + 16);
  std::vector<uint64_t> counts;
  tokens::Reader reader(pure);
  std::string_view token;
  while (reader.next(token)) {
    const uint32_t id = table.intern(token);
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

std::string descriptorRecord(int64_t id, std::string_view word_list) {
  std::string record = "<debut> <id> ";
  append_number(record, id);
  record.append(" </id> <mots> ");
  record.append(word_list);
  record.append("  </mots> </fin>\n");
  return record;
}

Description indexFile(std::string_view document, int64_t id, int64_t threshold) {
  Description d;
  d.pure = sortMeBalises(document);
  d.record = descriptorRecord(id, searchOccurencesAndInsertBD(d.pure, threshold));
  return d;
}

}  // namespace text
