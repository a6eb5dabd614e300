// Whether a document is the source of a query: the query's words must appear
// in it nearly verbatim, as one stretch.
#pragma once

#include <cstddef>
#include <string_view>

namespace textrank {

// Fitted on development queries: clean excerpts score 1, excerpts with up
// to three typos per 30 words stay above 0.945, while rewordings and pages
// of the same kind sharing whole sentences with a document stay below 0.93.
inline constexpr double kSourceThreshold = 0.94;
// Shorter queries are found verbatim almost anywhere; they name no source.
inline constexpr size_t kMinSourceWords = 6;
// Only this many of the query's first words are compared.
inline constexpr size_t kMostComparedWords = 256;

// How much of `query` appears verbatim in `document`, both given as words in
// normal form separated by single blanks (Description::words): 1 - c / w,
// where w is the weight of the query words compared and c the least cost of
// turning them into some stretch of the document's words. A word weighs 1,
// a two-letter word 3/4 and a one-letter word 1/2; a word missing, extra or
// replaced costs its weight (the larger of the two when replaced); a word
// within one typo of the other (one byte inserted, deleted, replaced, or two
// neighbours swapped; two typos for words of eight bytes or more), or two
// words glued or split by a typo, cost 1/4. So 1 when the query appears as
// it is, about 1 - 1/120 per typo in 30 words, and far less when words are
// replaced or moved. 0 for an empty query. Only the stretch of the document
// where the query's words are densest is searched.
double verbatim_similarity(std::string_view query, std::string_view document);

struct Verdict {
  bool source = false;
  double confidence = 0;  // in [0, 1]
};

// The verdict on a similarity: a source when `similarity` reaches
// `threshold` and the query holds at least `min_words` words. The confidence
// grows with the distance to the threshold: 0.5 on it, 1 at similarity 1 for
// a source, 1 at similarity 0 for no source; a query too short to judge
// gets 0.5.
Verdict judge(double similarity, size_t query_words, double threshold, size_t min_words);

}  // namespace textrank
