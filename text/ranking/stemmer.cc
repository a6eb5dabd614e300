#include "text/ranking/stemmer.h"

#include <libstemmer.h>

#include <climits>
#include <new>
#include <stdexcept>

namespace textrank {

Stemmer::Stemmer() : stemmer_(sb_stemmer_new(kStemmerLanguage, kStemmerEncoding)) {
  if (stemmer_ == nullptr) throw std::runtime_error("no French stemmer in libstemmer");
}

Stemmer::~Stemmer() { sb_stemmer_delete(stemmer_); }

std::string_view Stemmer::stem(std::string_view word) {
  // Words are short; a longer one (no French word is) is left whole.
  if (word.size() > INT_MAX / 4) return word;
  const sb_symbol* s =
      sb_stemmer_stem(stemmer_, reinterpret_cast<const sb_symbol*>(word.data()), static_cast<int>(word.size()));
  if (s == nullptr) throw std::bad_alloc();
  return {reinterpret_cast<const char*>(s), static_cast<size_t>(sb_stemmer_length(stemmer_))};
}

}  // namespace textrank
