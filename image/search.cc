#include "image/search.h"

#include <algorithm>

#include "image/messages.h"

namespace image {

std::vector<Resultat> rechercheImage(tokens::Reader& in, const DescripteurImage& requete) {
  // Each record is scored as soon as it is read and then dropped, so the
  // memory held is one record's, whatever the size of the base.
  const RequeteImage q(requete);
  std::vector<Resultat> resultats;
  for (;;) {
    bool complete = false;
    const DescripteurImage d = lireDescripteur(in, complete);
    if (!complete) break;
    if (requete.type == kKindRGB && d.type == kKindRGB) {
      resultats.push_back(comparaisonRGB(q, d));
    } else if (requete.type == kKindNB && d.type == kKindNB) {
      resultats.push_back(comparaisonNB(q, d));
    }
  }
  // Last record first, the order the results have always come in.
  std::reverse(resultats.begin(), resultats.end());
  return resultats;
}

void trierResultats(std::vector<Resultat>& resultats) {
  std::stable_sort(resultats.begin(), resultats.end(), [](const Resultat& a, const Resultat& b) {
    if (a.score != b.score) return a.score > b.score;
    return a.id < b.id;
  });
}

std::string ligneResultat(const Resultat& r, const std::unordered_map<int32_t, std::string>& noms,
                          const output::Sink& sink) {
  const auto name = noms.find(r.id);
  return msgResultat(name == noms.end() ? std::string(kNomInconnu) : sink.shown(name->second), r.id, r.score);
}

std::string presenterResultats(std::vector<Resultat> resultats,
                               const std::unordered_map<int32_t, std::string>& noms,
                               const output::Sink& sink) {
  if (resultats.empty()) return std::string(kMsgAucuneImage);
  trierResultats(resultats);
  std::string out;
  for (const Resultat& r : resultats) out += ligneResultat(r, noms, sink);
  return out;
}

}  // namespace image
