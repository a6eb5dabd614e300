#include "text/comparison.h"

#include <string.h>

#include <cstdio>

#include "common/numbers.h"
#include "common/tokens.h"

namespace text {

std::string_view bareName(std::string_view path) {
  size_t end = path.size();
  while (end > 0 && path[end - 1] == '/') --end;
  const size_t slash = path.rfind('/', end == 0 ? 0 : end - 1);
  const size_t begin = slash == std::string_view::npos ? 0 : slash + 1;
  return end == 0 ? std::string_view() : path.substr(begin, end - begin);
}

void empilerDescripteurs(std::string_view base, PILE_TAVREN* pile) {
  tokens::Reader reader(base);
  std::string record;
  std::string_view t;
  while (reader.next(t)) {
    if (t == "<id>") {
      record.clear();
      if (reader.next(t)) record.append(t);
      record.push_back(' ');
    } else if (t == "<mots>") {
      while (reader.next(t) && t != "</mots>") {
        record.append(t);
        record.push_back(' ');
      }
    } else if (t == "</fin>") {
      EMPILE_TAVREN(pile, record);
    }
  }
}

std::vector<std::string_view> queryWords(std::string_view descriptor) {
  std::vector<std::string_view> words;
  tokens::Reader reader(descriptor);
  std::string_view t;
  while (reader.next(t)) {
    if (t != "<mots>") continue;
    std::string_view word, skipped;
    while (reader.next(word) && word != "</mots>") {
      words.push_back(word);
      // The entry's count and separator are passed over, not compared.
      if (!reader.next(skipped) || !reader.next(skipped)) break;
    }
  }
  return words;
}

Score scoreRecord(std::string_view record, const std::vector<std::string_view>& query) {
  Score score;
  tokens::Reader reader(record);
  std::string_view t;
  if (!reader.next(t)) return score;
  score.id = numbers::leading_int(t);
  // The record's words, one per line: a query word holds no white space, so a
  // match found in this text lies inside a single word.
  std::string words;
  words.reserve(record.size());
  for (size_t k = 0; reader.next(t); ++k) {
    if (k % 3 != 0) continue;
    words.append(t);
    words.push_back('\n');
  }
  // memmem searches in linear time (two-way algorithm); a plain find could
  // take hours on a word of megabytes made of one repeated byte.
  for (const std::string_view q : query)
    if (::memmem(words.data(), words.size(), q.data(), q.size()) != nullptr) ++score.shared;
  return score;
}

std::string reportLine(const Score& score) {
  char buf[96];
  const int n = std::snprintf(buf, sizeof buf, "document d'id %d a %d mots en commun sur avec votre fichier\n",
                              score.id, score.shared);
  return std::string(buf, static_cast<size_t>(n));
}

}  // namespace text
