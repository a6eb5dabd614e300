#include "image/config_bits.h"

#include <cstdio>

#include "common/fileio.h"
#include "common/numbers.h"
#include "common/tokens.h"

namespace image {

ParamBits init_values(std::string_view config, ParamBits bits, std::string& messages) {
  tokens::Reader in(config);
  std::string_view word;
  while (in.next(word)) {
    if (word == "NbBit_NB:") {
      // A key with no word after it reads as the value 0.
      if (!in.next(word)) word = {};
      const int v = numbers::leading_int(word);
      if (v >= 1 && v <= 7) {
        bits.PARAM_BITS_NB = v;
      } else {
        messages += kMsgBitsNB;
      }
    }
    if (word == "NbBit_RGB:") {
      if (!in.next(word)) word = {};
      const int v = numbers::leading_int(word);
      if (v >= 1 && v <= 5) {
        bits.PARAM_BITS_RGB = v;
      } else {
        messages += kMsgBitsRGB;
      }
    }
  }
  return bits;
}

ParamBits init_values_file(const std::string& path, ParamBits bits) {
  std::string config;
  std::string messages;
  if (!fileio::read_file(path, config)) {
    messages = kMsgConfigAbsente;
  } else {
    bits = init_values(config, bits, messages);
  }
  std::fwrite(messages.data(), 1, messages.size(), stdout);
  return bits;
}

}  // namespace image
