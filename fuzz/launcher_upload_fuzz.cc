// Uploaded queries: any bytes, given as a query of each medium (the first
// input byte picks it), ranked against small valid ranked files, the way
// `classement` and the page's API rank them.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "image/image_file.h"
#include "image/ranking/ranked_file.h"
#include "image/ranking/signature.h"
#include "launcher/rankers.h"
#include "sound/ranking/describe.h"
#include "sound/ranking/ranked_file.h"
#include "text/ranking/describe.h"
#include "text/ranking/ranked_file_writer.h"

namespace {

std::string TextFile() {
  textrank::Describer describer;
  const textrank::Description a = describer.describe("<doc>La maison au bord de la mer, avec un jardin.</doc>");
  const textrank::Description b = describer.describe("Le budget de l'\xc3\xa9tat et l'\xc3\xa9" "conomie mondiale.");
  const std::vector<textrank::IndexedDocument> docs = {{1, "a.xml", &a}, {2, "b.xml", &b}};
  return textrank::build_ranked_file(docs);
}

std::string ImageFile() {
  std::vector<image_ranking::RankedEntry> entries;
  const image::ParamBits bits;
  const char* images[] = {"2 3 1 0 10 20 30 40 250", "2 2 3 255 0 0 9 0 255 0 1 7 7 7 200"};
  for (int i = 0; i < 2; ++i) {
    const auto signature = image_ranking::describe(image::lireImage(images[i], "x"), bits, image_ranking::Purpose::kIndex);
    if (signature) entries.push_back({i, "i" + std::to_string(i) + ".txt", *signature});
  }
  return image_ranking::build_ranked_file(bits, entries);
}

std::string SoundFile() {
  std::vector<float> samples(16000);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<float>(0.5 * std::sin(0.07 * static_cast<double>(i) * (1 + static_cast<double>(i) / 8000.0)));
  sound_ranking::SoundPrint print = sound_ranking::describe(samples);
  const std::vector<sound_ranking::IndexedSound> sounds = {
      {0, "s.bin", samples.size(), std::move(print.landmarks), std::move(print.envelope)}};
  return sound_ranking::build_ranked_file(sounds);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string files[3] = {TextFile(), ImageFile(), SoundFile()};
  static const char* const media[3] = {"texte", "image", "son"};
  if (size == 0) return 0;
  const int m = data[0] % 3;
  const std::string_view query(reinterpret_cast<const char*>(data + 1), size - 1);
  ranking::Ranking ranking;
  std::string why;
  launcher::RankerFor(media[m])->Rank(files[m], query, &ranking, &why);
  return 0;
}
