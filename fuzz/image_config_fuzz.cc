// The image side's scan of the configuration file for its bit counts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "image/config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string messages;
  const image::ParamBits bits = image::init_values(
      std::string_view(reinterpret_cast<const char*>(data), size), image::ParamBits{}, messages);
  if (bits.PARAM_BITS_NB < 1 || bits.PARAM_BITS_NB > 7 || bits.PARAM_BITS_RGB < 1 ||
      bits.PARAM_BITS_RGB > 5)
    __builtin_trap();
  return 0;
}
