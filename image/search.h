// The search of a query image among the indexed images of its kind, and the
// lines that present its results. Pure: the caller reads the files.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/output.h"
#include "common/tokens.h"
#include "image/base.h"
#include "image/score.h"

namespace image {

// Scores `requete` against every complete record left in `in` (the base after
// its head): grey against grey, colour against colour; records of the other
// kind are left out. One result per record scored, last record first.
std::vector<Resultat> rechercheImage(tokens::Reader& in, const DescripteurImage& requete);

// The result lines: sorted by score from highest to lowest, equal scores by
// identifier ascending, each "Image NAME (id ID) : SCORE % de ressemblance"
// with the name from the image list ("?" when absent) as `sink` shows names
// (escaped on a terminal); or the line saying that no image of the query's
// kind is in the base.
std::string presenterResultats(std::vector<Resultat> resultats,
                               const std::unordered_map<int32_t, std::string>& noms,
                               const output::Sink& sink);

}  // namespace image
