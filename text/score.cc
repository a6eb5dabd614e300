#include "text/score.h"

#include <string.h>

#include <cstdio>

#include "common/numbers.h"
#include "common/tokens.h"
#include "text/base.h"
#include "text/messages.h"
#include "text/pile_tavren.h"

namespace text {

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

std::vector<Score> scoreBase(std::string_view base, const std::vector<std::string_view>& query) {
  PILE_TAVREN pile;
  INIT_PILE_TAVREN(&pile);
  empilerDescripteurs(base, &pile);
  std::vector<Score> scores;
  while (!PILE_TAVREN_EST_VIDE(&pile)) scores.push_back(scoreRecord(*DEPILE_TAVREN(&pile), query));
  return scores;
}

std::string reportLine(const Score& score) {
  char buf[96];
  const int n = std::snprintf(buf, sizeof buf, messages::kReportLine, score.id, score.shared);
  return std::string(buf, static_cast<size_t>(n));
}

std::string report(const std::vector<Score>& scores) {
  std::string out;
  for (const Score& s : scores)
    if (s.shared != 0 && s.shared != 1) out += reportLine(s);
  return out;
}

}  // namespace text
