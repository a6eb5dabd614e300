// Deterministic generated corpora for the end-to-end tests that need volume
// (crash safety, concurrency): French-like texts with marks, grey and colour
// images, and sounds.
#pragma once

#include <cstdint>
#include <string>

#include "tests/e2e/harness.h"

namespace e2e {

struct CorpusSize {
  int texts = 0;
  int words_per_text = 0;
  int images = 0;      // half colour, half grey
  int image_side = 0;
  int sounds = 0;
  int sound_seconds = 0;
};

// Writes the corpus into the store's corpus directories. `seed` varies the
// content; `first` numbers the file names so two calls can add to a corpus.
void generate_corpus(const Store& store, const CorpusSize& size, uint32_t seed, int first = 0);

// One generated text, image file or sound, for queries.
std::string generated_text(uint32_t seed, int words);
std::string generated_image(uint32_t seed, int side, bool colour);
std::string generated_sound(uint32_t seed, int samples);

}  // namespace e2e
