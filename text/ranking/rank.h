// The ranked text search: BM25 over stems, then the verdict on the best
// document.
#pragma once

#include <string_view>

#include "ranking/ranking.h"
#include "text/ranking/describe.h"
#include "text/ranking/ranked_file.h"

namespace textrank {

// Every document sharing a stem with the query, by BM25 score (higher is
// better; equal scores by identifier), with the file's k1 and b; except that
// one of the best few may be moved to the front: the first that holds the
// query nearly verbatim (verdict.h, with the file's threshold), which is
// then named the "source"; failing that, one holding far more of the query
// in order than the best one (a rewording of it), with the verdict "no
// match". `threshold` is the bound on the verbatim similarity, not on the
// score. Throws FileError when the file turns out inconsistent,
// std::runtime_error when no French stemmer is available.
ranking::Ranking rank(const RankedFile& file, const Description& query);
// The same for a query not yet described.
ranking::Ranking rank(const RankedFile& file, std::string_view query_bytes);

}  // namespace textrank
