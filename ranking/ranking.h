// What a ranked search answers, whatever the medium: the candidates best
// first, and a verdict saying whether the best one is judged to be the
// query's source. The rankers fill it; report.h prints it for people or as
// JSON.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ranking {

struct Result {
  int64_t id = 0;
  std::string name;                // the item's bare file name, as listed
  double score = 0;                // the ranker's own score, higher is better
  std::optional<double> offset_s;  // sounds: where the query starts inside it
};

struct Ranking {
  // Best first. Texts and images: every candidate of the query's kind.
  // Sounds: only the sounds whose score passes the ranker's threshold.
  std::vector<Result> results;

  // True when results[0] is judged to be the query's source.
  bool match = false;
  // How sure the verdict is, in [0, 1] (for "no match" too).
  double confidence = 0;
  // The verdict's wording when it is a match, in French ("source",
  // "même image", "image proche", ...).
  std::string match_label;

  // For "no sure match": the best candidate, when there is any at all (for
  // sounds it may lie below the threshold, so it need not be in `results`),
  // and the threshold it missed.
  std::optional<Result> best_candidate;
  double threshold = 0;
  // What the verdict compares with the threshold, when it is not the
  // candidate's score (texts rank by BM25 but judge by how verbatim the
  // query is): its name in French and its value for the best candidate.
  std::string measure_name;
  double measure = 0;
};

}  // namespace ranking
