// What a medium gives the ranked search: where its ranked file lies, and
// how to rank a query's bytes against that file's bytes. Both are pure over
// bytes; classement.h does the file work around them.
#pragma once

#include <string>
#include <string_view>

#include "ranking/ranking.h"

namespace ranking {

class Ranker {
 public:
  virtual ~Ranker() = default;

  // "texte", "image" or "son".
  virtual const char* medium() const = 0;
  // The ranked file's layout path (relative to the working directory).
  virtual const char* ranked_file() const = 0;

  enum class Outcome {
    kRanked,
    kBadQuery,       // the query is not a valid file of this medium
    kBadRankedFile,  // the ranked file is damaged or of another format
  };
  // Ranks `query` against the ranked file `ranked`. On kBadQuery or
  // kBadRankedFile, `why` says what is wrong, in French.
  virtual Outcome Rank(std::string_view ranked, std::string_view query, Ranking* ranking,
                       std::string* why) const = 0;
};

}  // namespace ranking
