#include "image/search.h"

#include <algorithm>
#include <deque>

#include "image/messages.h"
#include "image/pile.h"

namespace image {

std::vector<Resultat> rechercheImage(tokens::Reader& in, const DescripteurImage& requete) {
  // Every complete record of the base, stacked by reference.
  std::deque<DescripteurImage> records;
  PILE<DescripteurImage> pile;
  INIT_PILE(&pile);
  for (;;) {
    bool complete = false;
    DescripteurImage d = lireDescripteur(in, complete);
    if (!complete) break;
    records.push_back(std::move(d));
    EMPILE(&pile, &records.back());
  }

  const RequeteImage q(requete);
  std::vector<Resultat> resultats;
  resultats.reserve(records.size());
  while (!PILE_EST_VIDE(pile)) {
    DescripteurImage* d = nullptr;
    DEPILE(&pile, &d);
    if (requete.type == kKindRGB && d->type == kKindRGB) {
      resultats.push_back(comparaisonRGB(q, *d));
    } else if (requete.type == kKindNB && d->type == kKindNB) {
      resultats.push_back(comparaisonNB(q, *d));
    }
    // Release each record as soon as it has been scored.
    d->histo = Histo{};
  }
  return resultats;
}

std::string presenterResultats(std::vector<Resultat> resultats,
                               const std::unordered_map<int32_t, std::string>& noms,
                               const output::Sink& sink) {
  if (resultats.empty()) return std::string(kMsgAucuneImage);
  std::stable_sort(resultats.begin(), resultats.end(), [](const Resultat& a, const Resultat& b) {
    if (a.score != b.score) return a.score > b.score;
    return a.id < b.id;
  });
  std::string out;
  for (const Resultat& r : resultats) {
    const auto name = noms.find(r.id);
    out += msgResultat(name == noms.end() ? std::string(kNomInconnu) : sink.shown(name->second), r.id, r.score);
  }
  return out;
}

}  // namespace image
