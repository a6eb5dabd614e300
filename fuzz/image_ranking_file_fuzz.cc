// The ranked image base reader on arbitrary bytes, then a ranking over what
// it accepted, with a small query of each kind.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "image/ranking/rank.h"

namespace {

image_ranking::Signature query(int kind, const image::ParamBits& bits) {
  std::string text = kind == image::kKindNB ? "3 5 1\n" : "3 5 3\n";
  for (int k = 0; k < 15 * kind; ++k) text += std::to_string(k * 17 % 256) + " ";
  return *image_ranking::describe(image::lireImage(text, "q.txt"), bits, image_ranking::Purpose::kQuery);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string error;
  const std::optional<image_ranking::RankedFile> file = image_ranking::RankedFile::read(bytes, error);
  if (!file) return 0;
  for (int kind : {image::kKindNB, image::kKindRGB}) image_ranking::rank(*file, query(kind, file->bits()));
  for (size_t i = 0; i < file->size(); ++i) file->name(i);
  return 0;
}
