// The ranked image search: every indexed image of the query's kind scored
// against the query, best first, and the verdict on the best one.
#pragma once

#include "image/ranking/ranked_file.h"
#include "image/ranking/signature.h"
#include "ranking/ranking.h"

namespace image_ranking {

// Scores of one indexed image against the query, before weighting.
struct Similarities {
  double histogram = 0;  // best Bhattacharyya coefficient over the query's tones
  double layout = -1;    // best thumbnail correlation over orientations, windows, turns
};

// `query` is described for Purpose::kQuery with file.bits() (a query of other
// bits gives an empty ranking; an index signature is scored without its
// variants). Ties are broken by increasing identifier. No image of the
// query's kind: no results and no match.
ranking::Ranking rank(const RankedFile& file, const Signature& query);

// The similarities of the query to image i of the file (of the query's kind).
Similarities similarities(const RankedFile& file, size_t i, const Signature& query);

}  // namespace image_ranking
