// Describing one document for the ranked search: its stems with their
// counts (for BM25) and its words in normal form (for the verbatim check).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/ranking/stemmer.h"
#include "text/ranking/form_cache.h"
#include "text/ranking/string_table.h"

namespace textrank {

struct Term {
  uint32_t offset;  // the stem is stems.substr(offset, size)
  uint32_t size;
  uint32_t count;   // occurrences in the document
  uint64_t hash;    // hash_bytes of the stem
};

struct Description {
  std::string stems;        // the distinct stems, one after the other
  std::vector<Term> terms;  // in order of first occurrence
  uint64_t length = 0;      // occurrences of all stems: the BM25 length
  // Every word in order, stop words included, in small letters without
  // accents, separated by single blanks.
  std::string words;

  std::string_view stem(const Term& t) const { return std::string_view(stems).substr(t.offset, t.size); }
};

// Turns bytes into a Description: plain text (plain_text.h), words
// (words.h), small letters; stop words dropped from the terms; each other
// word stemmed by Snowball, then stripped of its accents.
//
// A Describer caches what it worked out for each distinct word form, so one
// object describing many documents stems each form once. The cache never
// changes a result: describe() is a pure function of its bytes. Not
// thread-safe: use one per thread.
class Describer {
 public:
  Description describe(std::string_view bytes);
  void describe(std::string_view bytes, Description& out);

 private:
  static constexpr uint32_t kStop = UINT32_MAX;         // a word, not a term
  static constexpr uint32_t kNothing = UINT32_MAX - 1;  // not even a word

  uint32_t work_out(std::string_view word, std::string& folded_out);
  void forget_when_large();

  Stemmer stemmer_;
  FormCache forms_;               // words as met
  StringTable stems_;
  std::vector<uint32_t> counts_;  // per stem, for the document at hand
  std::vector<uint32_t> seen_;    // stems of the document at hand, in order
  std::string plain_, lower_, folded_, scratch_;
};

}  // namespace textrank
