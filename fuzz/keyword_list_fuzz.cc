// The text list reader used to name documents, on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "keyword/list_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view list(reinterpret_cast<const char*>(data), size);
  for (const auto& [id, name] : keyword::read_text_list(list)) {
    // Every view points into the input.
    if (id.data() < list.data() || name.data() + name.size() > list.data() + list.size())
      __builtin_trap();
  }
  return 0;
}
