// The ranked text index reader over arbitrary bytes: opening, ranking and
// reading every document, and taking every description back as a second
// indexation does (checksum made good first), either work or refuse with
// FileError.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/ranking/digest.h"
#include "common/le_bytes.h"
#include "text/ranking/previous_index.h"
#include "text/ranking/rank.h"
#include "text/ranking/ranked_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    const textrank::RankedFile file = textrank::RankedFile::open(bytes);
    const ranking::Ranking r = textrank::rank(file, "chat chien souris oiseau maison jardin potager");
    if (r.results.size() > file.documents()) __builtin_trap();
    for (uint64_t i = 0; i < file.documents(); ++i) file.document(i);
  } catch (const textrank::FileError&) {
  }
  // The checksum made good, so that what follows it is explored too.
  std::string fixed(bytes);
  if (fixed.size() >= textrank::format::kHeaderSize) {
    const std::string_view body = std::string_view(fixed).substr(textrank::format::kHeaderSize);
    le::put64(fixed.data() + textrank::format::kChecksumAt, textrank::checksum_of({&body, 1}));
  }
  try {
    textrank::PreviousIndex previous = textrank::PreviousIndex::open(fixed);
    previous.invert();
    textrank::Description d;
    for (uint64_t i = 0; i < previous.documents(); ++i) {
      previous.describe(i, d);
      if (previous.find(previous.document(i).name, {}) && d.terms.size() > size) __builtin_trap();
      previous.words(i);
    }
  } catch (const textrank::FileError&) {
  }
  return 0;
}
