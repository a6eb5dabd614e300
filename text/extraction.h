// Describing one text document: its marks and punctuation are stripped, its
// words counted, and the frequent relevant ones kept in a descriptor record.
// Everything here is a pure function of bytes; the callers do the file work.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace text {

// Threshold used when the configuration holds no usable value.
inline constexpr int64_t kDefaultThreshold = 3;

// 0 for the nine punctuation bytes . , ; ? ! ) ( : %, 1 for every other byte.
int testPonctuation_TEXTE(unsigned char c);

// The pure text of a document: only bytes after a ">" and outside any mark
// are kept, punctuation is dropped, and an apostrophe becomes a blank. So the
// text before the first mark is lost and two words split by a mark are glued.
std::string sortMeBalises(std::string_view document);

// 1 when `word` may enter a descriptor: not starting with byte 0xE0, longer
// than 3 bytes, and not a stop word (compared ignoring ASCII case).
int verifyPertinence(std::string_view word);

// The occurrence threshold set by a configuration text: the integer prefix
// (as atol reads it) of the token right after the first "txt_nboccurrences:",
// or kDefaultThreshold when that key is absent or is the last token.
int64_t recupParamConfigTexte(std::string_view config);

// The word list of a pure text: each relevant word whose number of
// occurrences is at least `threshold`, once, in order of first occurrence, as
// "word count ; " entries.
std::string searchOccurencesAndInsertBD(std::string_view pure, int64_t threshold);

// One descriptor record line for document `id` (-1 for a query).
std::string descriptorRecord(int64_t id, std::string_view word_list);

struct Description {
  std::string pure;    // the stripped text, kept in the scratch space
  std::string record;  // the descriptor record line
};

// The whole chain for one document's bytes.
Description indexFile(std::string_view document, int64_t id, int64_t threshold);

}  // namespace text
