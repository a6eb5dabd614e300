// The web server's list reader and item parameters, on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "web/lists.h"
#include "web/params.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto inside = [&](std::string_view v) {
    return v.empty() || (v.data() >= bytes.data() && v.data() + v.size() <= bytes.data() + bytes.size());
  };
  const size_t count = web::CountEntries(bytes);
  for (const char* id : {"0", "1", "2", "17"}) {
    const auto entry = web::FindEntry(bytes, id);
    if (entry && (!inside(entry->name) || !inside(entry->kind) || count == 0)) __builtin_trap();
    if (entry) (void)web::SafeName(entry->name);
  }
  std::string id, error;
  if (web::ParseItem(bytes, ".png", &id, &error) && (id.empty() || id.size() > 18)) __builtin_trap();
  return 0;
}
