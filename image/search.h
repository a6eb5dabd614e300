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

// Puts the results in the order they are shown: by score from highest to
// lowest, equal scores by identifier ascending.
void trierResultats(std::vector<Resultat>& resultats);

// The line of one result, "Image NAME (id ID) : SCORE % de ressemblance",
// with the name from the image list ("?" when absent) as `sink` shows names
// (escaped on a terminal).
std::string ligneResultat(const Resultat& r, const std::unordered_map<int32_t, std::string>& noms,
                          const output::Sink& sink);

// Every line of the results in their order; or the line saying that no image
// of the query's kind is in the base. (The search prints the lines one by
// one: a long name shared by many results is never held many times over.)
std::string presenterResultats(std::vector<Resultat> resultats,
                               const std::unordered_map<int32_t, std::string>& noms,
                               const output::Sink& sink);

}  // namespace image
