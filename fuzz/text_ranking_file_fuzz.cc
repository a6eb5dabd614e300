// The ranked text index reader over arbitrary bytes: opening, ranking and
// reading every document either work or refuse with FileError.
#include <cstddef>
#include <cstdint>
#include <string_view>

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
  return 0;
}
