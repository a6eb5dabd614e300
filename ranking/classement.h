// "classement MEDIUM PATH": a ranked search. The caller holds the store lock
// (shared) and has read standard input when PATH is "-". Nothing is written
// to the store, and nothing but the answer goes to standard output.
#pragma once

#include <optional>
#include <string>

#include "common/output.h"
#include "ranking/options.h"
#include "ranking/ranker.h"
#include "store/store.h"

namespace ranking {

// The most bytes a query may have (standard input included).
inline constexpr uint64_t kMaxQueryBytes = 64ull << 20;

// Ranks the query and prints the answer; returns the exit status (0, or 1
// after one line on standard error). `stdin_bytes` holds the query when
// options.path is "-".
int Classement(const store::Store& store, output::Sink& sink, const Ranker& ranker, const Options& options,
               const std::optional<std::string>& stdin_bytes);

// The same without printing, for in-process callers (the web server):
// fills `ranking`, or returns 1 with the reason in `error` (and whether the
// ranked file, rather than the query, is at fault).
struct Failure {
  bool ranked_file = false;  // missing or damaged ranked file: index first
  std::string message;
};
int RankQuery(const store::Store& store, const Ranker& ranker, std::string_view query_bytes,
              Ranking* ranking, Failure* failure);

}  // namespace ranking
