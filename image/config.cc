#include "image/config.h"

#include <optional>

#include "common/config.h"
#include "common/numbers.h"
#include "common/tokens.h"
#include "image/messages.h"

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

ParamBits init_values_file(const store::Store& store, output::Sink& sink, ParamBits bits) {
  const std::optional<std::string> text = config::Read(store);
  if (!text) {
    sink.out(config::kUnreadable);
    return bits;
  }
  std::string messages;
  bits = init_values(*text, bits, messages);
  sink.out(messages);
  return bits;
}

}  // namespace image
