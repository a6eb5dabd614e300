#include "sound/ranking/ranker.h"

#include "common/paths.h"
#include "sound/ranking/rank.h"
#include "sound/ranking/ranked_file.h"
#include "sound/ranking/samples.h"

namespace sound_ranking {

const char* Ranker::ranked_file() const { return paths::kSoundRanked; }

ranking::Ranker::Outcome Ranker::Rank(std::string_view ranked, std::string_view query, ranking::Ranking* ranking,
                                      std::string* why) const {
  std::string reason;
  const std::optional<RankedFile> file = RankedFile::parse(ranked, reason);
  if (!file) {
    *why = reason;
    return Outcome::kBadRankedFile;
  }
  // Raw 64-bit samples: fewer than 8 bytes hold none. A silent or very
  // short sound is a sound all the same (it finds no match).
  if (query.size() < 8) {
    *why = "pas un son : moins d'un échantillon (8 octets)";
    return Outcome::kBadQuery;
  }
  *ranking = rank(*file, samples_from_bytes(query));
  return Outcome::kRanked;
}

}  // namespace sound_ranking
