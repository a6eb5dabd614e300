// Mark stripping and term extraction of one document, on arbitrary bytes,
// with the threshold taken from the first input byte (negative ones too).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/base.h"
#include "text/describe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int64_t threshold = static_cast<int8_t>(data[0]) % 8;
  const std::string_view document(reinterpret_cast<const char*>(data + 1), size - 1);
  const text::Description d = text::indexFile(document, threshold);
  const std::string record = text::descriptorRecord(7, d.words);
  // One record line, ended by its only line feed.
  if (record.empty() || record.back() != '\n' || record.find('\n') != record.size() - 1)
    __builtin_trap();
  return 0;
}
