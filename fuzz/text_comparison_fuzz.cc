// The comparison's readers: the record stack over an arbitrary descriptor
// base (the input's first half) and the query descriptor (its second half),
// then the scoring of every record.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/comparison.h"
#include "text/pile_tavren.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  const std::string_view base = in.substr(0, size / 2);
  const std::string_view query = in.substr(size / 2);
  text::bareName(query);
  const auto words = text::queryWords(query);
  text::PILE_TAVREN pile;
  text::INIT_PILE_TAVREN(&pile);
  text::empilerDescripteurs(base, &pile);
  while (!text::PILE_TAVREN_EST_VIDE(&pile)) {
    const auto record = text::DEPILE_TAVREN(&pile);
    if (!record) __builtin_trap();
    const text::Score s = text::scoreRecord(*record, words);
    if (s.shared < 0 || static_cast<size_t>(s.shared) > words.size()) __builtin_trap();
    text::reportLine(s);
  }
  return 0;
}
