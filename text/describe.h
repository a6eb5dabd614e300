// Describing one text document: its marks and punctuation are stripped, its
// words counted, and the frequent relevant ones kept for its descriptor.
// Pure functions of bytes; the drivers do the file work.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace text {

// 0 for the nine punctuation bytes . , ; ? ! ) ( : %, 1 for every other byte.
int testPonctuation_TEXTE(unsigned char c);

// The pure text of a document: only bytes after a ">" and outside any mark
// are kept, punctuation is dropped, and an apostrophe becomes a blank. So the
// text before the first mark is lost and two words split by a mark are glued.
std::string sortMeBalises(std::string_view document);

// 1 when `word` may enter a descriptor: not starting with byte 0xE0, longer
// than 3 bytes, and not a stop word (compared ignoring ASCII case).
int verifyPertinence(std::string_view word);

// The word list of a pure text: each relevant word whose number of
// occurrences is at least `threshold`, once, in order of first occurrence, as
// "word count ; " entries.
std::string searchOccurencesAndInsertBD(std::string_view pure, int64_t threshold);

struct Description {
  std::string pure;   // the stripped text, kept in the scratch space
  std::string words;  // the descriptor's word list (see descriptorRecord)
};

// The whole chain for one document's bytes.
Description indexFile(std::string_view document, int64_t threshold);

}  // namespace text
