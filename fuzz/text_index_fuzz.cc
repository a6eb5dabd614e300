// The inverted index build over an arbitrary descriptor base.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/index_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string index =
      text::createTableIndexTexte(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!index.empty() && index.back() != '\n') __builtin_trap();
  return 0;
}
