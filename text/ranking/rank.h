// The ranked text search: BM25 over stems, then the verdict on the best
// document.
#pragma once

#include <string_view>

#include "ranking/ranking.h"
#include "text/ranking/ranked_file.h"

namespace textrank {

// Every document sharing a stem with the query, by BM25 score (higher is
// better; equal scores by identifier), with the file's k1 and b; except that
// when one of the best few holds the query nearly verbatim (verdict.h, with
// the file's threshold) the first such document is moved to the front and
// named the "source". Otherwise the verdict is "no match" and the best
// document is the best candidate. `threshold` is that bound on the verbatim
// similarity, not on the score. Throws FileError when the file turns out
// inconsistent, std::runtime_error when no French stemmer is available.
ranking::Ranking rank(const RankedFile& file, std::string_view query_bytes);

}  // namespace textrank
