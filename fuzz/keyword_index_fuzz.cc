// The inverted index reader of the keyword search, on arbitrary bytes: the
// first line of the input is the searched word, the rest is the index.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "keyword/index_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  const size_t cut = in.find('\n');
  const std::string_view word = cut == std::string_view::npos ? in : in.substr(0, cut);
  const std::string_view index = cut == std::string_view::npos ? "" : in.substr(cut + 1);
  const keyword::Lookup found = keyword::find_word(index, word);
  if (!found.found && !found.hits.empty()) __builtin_trap();
  return 0;
}
