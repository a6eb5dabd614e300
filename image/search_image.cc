// "comparaison image PATH": the query is described with the bit counts at the
// head of the descriptor base and scored against every image of its kind. The
// query's descriptor stays in memory, so no scratch file can outlive a search
// or be mistaken for a later query.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <deque>

#include "common/fileio.h"
#include "common/paths.h"
#include "image/describe.h"
#include "image/descriptor_reader.h"
#include "image/image.h"
#include "image/image_io.h"
#include "image/messages.h"
#include "image/pile.h"
#include "image/search.h"

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
                               const std::unordered_map<int32_t, std::string>& noms) {
  if (resultats.empty()) return std::string(kMsgAucuneImage);
  std::stable_sort(resultats.begin(), resultats.end(), [](const Resultat& a, const Resultat& b) {
    if (a.score != b.score) return a.score > b.score;
    return a.id < b.id;
  });
  std::string out;
  for (const Resultat& r : resultats) {
    const auto name = noms.find(r.id);
    out += "Image ";
    out += name == noms.end() ? std::string("?") : name->second;
    out += " (id " + std::to_string(r.id) + ") : " + std::to_string(r.score) +
           " % de ressemblance\n";
  }
  return out;
}

namespace {
void print(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }
}  // namespace

int searchImage(const std::string& path) {
  print("Requête : " + path + "\n");
  // A query descriptor left by an interrupted search of an older run is
  // never read; remove it so that nothing stale stays in the base directory.
  ::unlink(paths::kImageQueryDescriptor);

  std::string base;
  if (!fileio::read_file(paths::kImageDescriptors, base)) {
    fileio::report(fileio::exists(paths::kImageDescriptors)
                       ? std::string("base d'images illisible : ") + paths::kImageDescriptors
                       : std::string("pas de base d'images (") + paths::kImageDescriptors +
                             " absent) : lancer d'abord « engine indexation »");
    return 1;
  }
  tokens::Reader in(base);
  ParamBits bits;
  if (!lireEnteteBase(in, bits)) {
    fileio::report(std::string("base d'images illisible : ") + paths::kImageDescriptors +
                   " (en-tête sans nombres de bits valides)");
    return 1;
  }

  std::string bytes;
  if (!lectureFichier(path, bytes)) return 1;
  const Description q = describeImage(bytes, path, bits);
  std::string().swap(bytes);
  switch (q.outcome) {
    case ImageLue::Outcome::kUnknownKind:
      print(msgTypeInconnu(path));
      return 1;
    case ImageLue::Outcome::kHeaderFault:
    case ImageLue::Outcome::kBodyFault:
      print(readFaultMessage(q.fault));
      return 1;
    case ImageLue::Outcome::kRead:
      break;
  }

  std::vector<Resultat> resultats = rechercheImage(in, q.descripteur);
  std::string liste;
  fileio::read_file(paths::kImageList, liste);  // names show as "?" without it
  print(presenterResultats(std::move(resultats), nomsParId(liste)));
  return 0;
}

}  // namespace image
