#include "tests/e2e/corpus_gen.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace e2e {

namespace {

const char* const kWords[] = {
    "maison", "jardin", "soleil", "rivière", "montagne", "village", "chemin", "forêt",
    "milliards", "économie", "marché", "bateau", "océan", "nuage", "hiver", "printemps",
    "école", "enfant", "lumière", "fenêtre", "porte", "table", "cuisine", "voiture",
    "le", "la", "les", "des", "une", "dans", "pour", "avec", "sont", "nous", "et", "de",
};

std::string name_of(const char* prefix, int i, const char* suffix) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s%05d%s", prefix, i, suffix);
  return buf;
}

}  // namespace

std::string generated_text(uint32_t seed, int words) {
  std::mt19937 rng(seed);
  // A skewed choice so that some words repeat often.
  std::geometric_distribution<int> pick(0.12);
  const int n = static_cast<int>(sizeof kWords / sizeof kWords[0]);
  std::string t = "<document>\n<titre>Texte " + std::to_string(seed) + "</titre>\n<p>";
  for (int i = 0; i < words; ++i) {
    t += kWords[pick(rng) % n];
    t += (i % 11 == 10) ? ".\n" : (i % 17 == 16 ? "</p><p>" : " ");
  }
  t += "</p>\n</document>\n";
  return t;
}

std::string generated_image(uint32_t seed, int side, bool colour) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> noise(0, 40);
  std::string s = std::to_string(side) + " " + std::to_string(side) + (colour ? " 3\n" : " 1\n");
  const int planes = colour ? 3 : 1;
  for (int p = 0; p < planes; ++p) {
    for (int i = 0; i < side; ++i) {
      for (int j = 0; j < side; ++j) {
        const int v = ((i * 7 + j * (3 + p) + static_cast<int>(seed % 97)) % 216) + noise(rng);
        s += std::to_string(v);
        s += j + 1 == side ? '\n' : ' ';
      }
    }
  }
  return s;
}

std::string generated_sound(uint32_t seed, int samples) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> noise(-0.2, 0.2);
  std::string s(static_cast<size_t>(samples) * 8, '\0');
  const double f = 200.0 + (seed % 13) * 70.0;
  for (int k = 0; k < samples; ++k) {
    const double env = 0.5 + 0.4 * std::sin(k / 4000.0 + seed);
    double x = env * std::sin(2 * M_PI * f * k / 16000.0) + noise(rng);
    if (x >= 0.999) x = 0.999;
    if (x < -0.999) x = -0.999;
    std::memcpy(&s[static_cast<size_t>(k) * 8], &x, 8);
  }
  return s;
}

void generate_corpus(const Store& store, const CorpusSize& size, uint32_t seed, int first) {
  for (int i = first; i < first + size.texts; ++i)
    store.write(std::string(kTexts) + name_of("doc", i, ".xml"),
                generated_text(seed * 7919u + static_cast<uint32_t>(i), size.words_per_text));
  for (int i = first; i < first + size.images; ++i) {
    const bool colour = i % 2 == 0;
    store.write(std::string(colour ? kRgb : kNb) + name_of("img", i, ".txt"),
                generated_image(seed * 31u + static_cast<uint32_t>(i), size.image_side, colour));
  }
  for (int i = first; i < first + size.sounds; ++i)
    store.write(std::string(kSounds) + name_of("son", i, ".bin"),
                generated_sound(seed * 131u + static_cast<uint32_t>(i), size.sound_seconds * 16000));
}

}  // namespace e2e
