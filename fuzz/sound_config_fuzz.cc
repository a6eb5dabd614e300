// The sound side's scan of the configuration file for E and n.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sound/config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sound::Params params;
  sound::scan_config(std::string_view(reinterpret_cast<const char*>(data), size), params);
  if (!sound::valid_samples(params.echantillons) || !sound::valid_intervals(params.nbintervalles))
    __builtin_trap();
  return 0;
}
