// The image side of the ranked search: a query image's bytes against the
// ranked image base.
#pragma once

#include "ranking/ranker.h"

namespace image_ranking {

class Ranker : public ranking::Ranker {
 public:
  const char* medium() const override { return "image"; }
  const char* ranked_file() const override;
  Outcome Rank(std::string_view ranked, std::string_view query, ranking::Ranking* ranking,
               std::string* why) const override;
};

}  // namespace image_ranking
