// The image descriptor base reader (head and records) and the image list
// reader, on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/tokens.h"
#include "image/base.h"
#include "image/base_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tokens::Reader in(bytes);
  image::ParamBits bits;
  image::lireEnteteBase(in, bits);
  for (int guard = 0; guard < 100000; ++guard) {
    bool complete = false;
    image::lireDescripteur(in, complete);
    if (!complete) break;
  }
  image::nomsParId(bytes);
  return 0;
}
