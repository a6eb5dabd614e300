// The sound descriptor base and sound list readers on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sound/base.h"
#include "sound/base_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const sound::DescriptorBase base = sound::split_descriptor_base(text);
  // Large interval counts make matrices of rows x (n+1) cells; keep the
  // fuzzer to sizes a real base could have for its length.
  if (base.header_ok && base.params.nbintervalles <= 4096) sound::read_descriptors(base);
  sound::names_by_position(text, base.bodies.size());
  return 0;
}
