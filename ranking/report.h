// How a ranking is shown: to a person (French lines) or to a program (one
// JSON object).
//
// Human:
//   Requête : PATH
//   Verdict : source : NAME (id N), confiance 0.97
//     or    : aucune correspondance sûre (meilleur candidat : NAME (id N),
//             score S sous le seuil T)
//   1. NAME (id N) score S
//   ...
// JSON:
//   {"medium": ..., "query": PATH, "verdict": {"match", "id", "name",
//    "confidence", "offset_s"}, "results": [{"rank", "id", "name", "score",
//    "offset_s"}, ...]}
#pragma once

#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

#include "common/output.h"
#include "ranking/ranking.h"

namespace ranking {

// The lines for a person; names go through sink.shown(). `max` 0 shows
// every result.
std::string HumanReport(const std::string& query, const Ranking& ranking, size_t max,
                        const output::Sink& sink);

// The JSON object; strings that are not valid UTF-8 are read as ISO-8859-1.
nlohmann::ordered_json JsonReport(const std::string& medium, const std::string& query, const Ranking& ranking,
                          size_t max);

}  // namespace ranking
