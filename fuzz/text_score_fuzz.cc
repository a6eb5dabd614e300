// The comparison's readers: the record stack over an arbitrary descriptor
// base (the input's first half) and the query descriptor (its second half),
// then the scoring of every record and the report.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/base.h"
#include "text/score.h"
#include "text/scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  const std::string_view base = in.substr(0, size / 2);
  const std::string_view query = in.substr(size / 2);
  text::scratch::bareName(query);
  const auto words = text::queryWords(query);
  const auto scores = text::scoreBase(base, words);
  for (const text::Score& s : scores)
    if (s.shared < 0 || static_cast<size_t>(s.shared) > words.size()) __builtin_trap();
  text::report(scores);
  return 0;
}
