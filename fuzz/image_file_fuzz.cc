// The image file reader, quantisation and histogram on arbitrary bytes, with
// the bit counts taken from the first input byte.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "image/describe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  image::ParamBits bits;
  bits.PARAM_BITS_NB = 1 + data[0] % 7;
  bits.PARAM_BITS_RGB = 1 + (data[0] >> 3) % 5;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  image::describeImage(bytes, "fuzz.txt", bits);
  return 0;
}
