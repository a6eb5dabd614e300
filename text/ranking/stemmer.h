// Snowball's French stemmer (Debian's libstemmer). One object serves one
// thread: the library keeps per-object state between calls.
#pragma once

#include <string_view>

struct sb_stemmer;

namespace textrank {

inline constexpr char kStemmerLanguage[] = "french";
inline constexpr char kStemmerEncoding[] = "UTF_8";

class Stemmer {
 public:
  // Throws std::runtime_error when libstemmer has no French stemmer, and
  // std::bad_alloc when it runs out of memory.
  Stemmer();
  ~Stemmer();
  Stemmer(const Stemmer&) = delete;
  Stemmer& operator=(const Stemmer&) = delete;

  // The stem of small-letter UTF-8 word `word`, valid until the next call.
  std::string_view stem(std::string_view word);

 private:
  sb_stemmer* stemmer_;
};

}  // namespace textrank
