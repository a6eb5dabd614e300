// The text side's scan of the configuration file for its threshold.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  text::recupParamConfigTexte(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
