#include "keyword/index_reader.h"

#include "common/numbers.h"
#include "common/tokens.h"

namespace keyword {

Lookup find_word(std::string_view index, std::string_view word) {
  Lookup result;
  tokens::Reader in(index);
  std::string_view token;
  while (in.next(token)) {
    if (token != "<mot>") continue;
    if (!in.next(token)) break;
    if (token != word) continue;  // the token after "<mot>" is consumed either way
    result.found = true;
    result.hits.clear();
    bool keyed = false;
    while (!keyed && in.next(token)) keyed = token == "<key_nb>";
    if (!keyed) break;
    for (;;) {
      std::string_view id, count, separator;
      if (!in.next(id) || !in.next(count)) break;  // a group cut by the end
      result.hits.push_back({numbers::leading_int(id), numbers::leading_int(count)});
      if (!in.next(separator) || separator == "</key_nb>") break;
    }
  }
  return result;
}

}  // namespace keyword
