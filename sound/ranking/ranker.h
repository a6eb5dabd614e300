// The sound side of the ranked search: a query sound's bytes against the
// ranked sound file.
#pragma once

#include "ranking/ranker.h"

namespace sound_ranking {

class Ranker : public ranking::Ranker {
 public:
  const char* medium() const override { return "son"; }
  const char* ranked_file() const override;
  Outcome Rank(std::string_view ranked, std::string_view query, ranking::Ranking* ranking,
               std::string* why) const override;
};

}  // namespace sound_ranking
