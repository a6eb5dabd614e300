// The query is described with the bit counts at the head of the descriptor
// base and scored against every image of its kind. The query's descriptor
// stays in memory, so no scratch file can outlive a search or be mistaken
// for a later query.
#include "image/comparaison.h"

#include <memory>
#include <unordered_map>

#include "common/paths.h"
#include "image/base.h"
#include "image/base_list.h"
#include "image/describe.h"
#include "image/messages.h"
#include "image/search.h"

namespace image {

namespace {

// Reads the query file at `path` into `bytes`. When it cannot be read, prints
// the opening message on standard output and one line naming the file on
// standard error, and returns false.
bool lectureFichier(const store::Store& store, output::Sink& sink, const std::string& path,
                    std::string& bytes) {
  if (store.env().ReadFile(store.path(path), &bytes).ok()) return true;
  sink.out(kMsgOuvertureFichier);
  sink.report(rptImageIllisible(output::printable(path)));
  return false;
}

// A query descriptor left by an interrupted search of an older run is never
// read; it is removed so that nothing stale stays in the base directory.
void retirerDescripteurTemporaire(const store::Store& store) {
  std::unique_ptr<store::Directory> dir;
  std::string name;
  if (store::OpenParent(store.env(), store.path(paths::kImageQueryDescriptor), &dir, &name).ok())
    dir->Remove(name);
}

}  // namespace

int searchImage(const store::Store& store, output::Sink& sink, const std::string& path) {
  sink.out(msgRequete(sink.shown(path)));
  retirerDescripteurTemporaire(store);

  std::string base;
  const std::string basePath = store.path(paths::kImageDescriptors);
  if (!store.env().ReadFile(basePath, &base).ok()) {
    store::FileInfo info;
    const bool exists = store.env().Stat(basePath, store::Follow::kLinks, &info).ok();
    sink.report(exists ? rptBaseIllisible(paths::kImageDescriptors)
                       : rptBaseAbsente(paths::kImageDescriptors));
    return 1;
  }
  tokens::Reader in(base);
  ParamBits bits;
  if (!lireEnteteBase(in, bits)) {
    sink.report(rptEnteteInvalide(paths::kImageDescriptors));
    return 1;
  }

  std::string bytes;
  if (!lectureFichier(store, sink, path, bytes)) return 1;
  const Description q = describeImage(bytes, path, bits);
  std::string().swap(bytes);
  switch (q.outcome) {
    case ImageLue::Outcome::kUnknownKind:
      sink.out(msgTypeInconnu(sink.shown(path)));
      return 1;
    case ImageLue::Outcome::kHeaderFault:
    case ImageLue::Outcome::kBodyFault:
      sink.out(readFaultMessage(q.fault));
      return 1;
    case ImageLue::Outcome::kRead:
      break;
  }

  std::vector<Resultat> resultats = rechercheImage(in, q.descripteur);
  std::string liste;
  store.env().ReadFile(store.path(paths::kImageList), &liste);  // names show as "?" without it
  const std::unordered_map<int32_t, std::string> noms = nomsParId(liste);
  std::string().swap(liste);
  if (resultats.empty()) {
    sink.out(kMsgAucuneImage);
    return 0;
  }
  trierResultats(resultats);
  for (const Resultat& r : resultats) sink.out(ligneResultat(r, noms, sink));
  return 0;
}

}  // namespace image
