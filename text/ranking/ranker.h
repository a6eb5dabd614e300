// The text side of the ranked search: a query text's bytes against the
// ranked text index.
#pragma once

#include "ranking/ranker.h"

namespace textrank {

class Ranker : public ranking::Ranker {
 public:
  const char* medium() const override { return "texte"; }
  const char* ranked_file() const override;
  Outcome Rank(std::string_view ranked, std::string_view query, ranking::Ranking* ranking,
               std::string* why) const override;
};

}  // namespace textrank
