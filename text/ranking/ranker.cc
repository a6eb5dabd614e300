#include "text/ranking/ranker.h"

#include "common/paths.h"
#include "text/ranking/describe.h"
#include "text/ranking/rank.h"
#include "text/ranking/ranked_file.h"

namespace textrank {

const char* Ranker::ranked_file() const { return paths::kTextRanked; }

ranking::Ranker::Outcome Ranker::Rank(std::string_view ranked, std::string_view query, ranking::Ranking* ranking,
                                      std::string* why) const {
  // A text holds words and no NUL byte (which only binary files have).
  if (query.find('\0') != std::string_view::npos) {
    *why = "pas un texte : le fichier contient des octets nuls (un son ou un fichier binaire ?)";
    return Outcome::kBadQuery;
  }
  const Description described = Describer().describe(query);
  if (described.words.empty()) {
    *why = "pas un texte : aucun mot";
    return Outcome::kBadQuery;
  }
  // The index is checked as it is read, so a damage found halfway still
  // refuses the whole query.
  try {
    const RankedFile file = RankedFile::open(ranked);
    *ranking = rank(file, described);
    return Outcome::kRanked;
  } catch (const FileError& e) {
    *why = e.what();
    return Outcome::kBadRankedFile;
  }
}

}  // namespace textrank
