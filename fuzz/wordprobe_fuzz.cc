// The word probe over an arbitrary descriptor base.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "wordprobe/probe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view base(reinterpret_cast<const char*>(data), size);
  const wordprobe::ProbeRun run = wordprobe::probe(base);
  if (run.out.empty()) __builtin_trap();  // the line count is always printed
  return 0;
}
