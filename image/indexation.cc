// Each corpus is listed in `ls` order, its images are read and described in
// parallel, and the records are then numbered in listing order, so the bytes
// never depend on the thread count. The list and the base are replaced
// together or not at all.
#include "image/indexation.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/listing.h"
#include "common/parallel.h"
#include "common/paths.h"
#include "image/base.h"
#include "image/base_list.h"
#include "image/config.h"
#include "image/describe.h"
#include "image/messages.h"
#include "image/ranking/ranked_file.h"
#include "image/ranking/signature.h"
#include "store/commit.h"

namespace image {

namespace {

struct Entree {
  const char* dir;             // layout path of the corpus, as messages show it
  store::Directory* handle;    // the corpus, opened by the listing
  std::string name;
  bool refusedUnreadable = false;  // listed by ls but cannot be opened
};

// What reading and describing one image gave; filled in parallel.
struct Traitement {
  bool opened = false;
  ImageLue::Outcome outcome = ImageLue::Outcome::kHeaderFault;
  ReadFault fault = ReadFault::kNone;
  int kind = 0;
  std::string corps;  // the descriptor after its identifier line
  std::optional<image_ranking::Signature> signature;  // for the ranked search
  uint64_t bytes = 0;  // the file's size, for the progress shown
};

// The images of one corpus in listing order. Names that the listing refused
// because the file cannot be opened are kept (marked) so that they get the
// opening messages in their place; the listing already reported them on
// standard error. Names with white space and entries that are not regular
// files are left out. The corpus directory is kept open in `opened`.
void listerCorpus(const store::Store& store, output::Sink& sink, const char* dir,
                  std::vector<std::unique_ptr<store::Directory>>& opened, std::vector<Entree>& out) {
  listing::Result listed = listing::list_corpus(store, dir, {".txt", true}, sink);
  std::vector<std::string> names = std::move(listed.names);
  std::unordered_set<std::string> unreadable;
  for (const auto& refusal : listed.refused) {
    if (refusal.why != listing::Refusal::Why::kUnreadable) continue;
    unreadable.insert(refusal.name);
    names.push_back(refusal.name);
  }
  if (!unreadable.empty()) listing::sort_like_ls(names, store.collation());
  store::Directory* handle = listed.directory.get();
  if (listed.directory) opened.push_back(std::move(listed.directory));
  for (auto& name : names) {
    const bool bad = unreadable.count(name) != 0;
    out.push_back({dir, handle, std::move(name), bad});
  }
}

Traitement traiter(const Entree& e, const ParamBits& bits) {
  Traitement t;
  if (e.refusedUnreadable) return t;
  std::string bytes;
  if (!e.handle->ReadFile(e.name, &bytes).ok()) return t;
  t.opened = true;
  t.bytes = bytes.size();
  ImageLue img = lireImage(bytes, e.dir + e.name);
  std::string().swap(bytes);
  // The ranked search's signature is taken before the quantisation, which
  // rewrites the planes.
  t.signature = image_ranking::describe(img, bits, image_ranking::Purpose::kIndex);
  const Description d = describeImage(std::move(img), bits);
  t.outcome = d.outcome;
  t.fault = d.fault;
  t.kind = d.kind;
  if (d.outcome == ImageLue::Outcome::kRead) appendCorps(t.corps, d.descripteur);
  return t;
}

// The kind under which `name` was first registered in this run, 0 when it
// was not: a name already registered with the same kind is not indexed again.
int lireBase(const std::unordered_map<std::string, int>& registered, const std::string& name) {
  const auto found = registered.find(name);
  return found == registered.end() ? 0 : found->second;
}

// The bare name of a layout file.
std::string nomDe(const char* path) {
  std::string dir, name;
  store::SplitPath(path, &dir, &name);
  return name;
}

// One file of the image base: its bare name and its whole content.
struct FichierBase {
  std::string nom;
  std::string contenu;
};

// Replaces the files of the group together (a crash leaves all the old ones
// or all the new ones), after checking that they fit the free space: a base
// that cannot fit is refused before anything is written. Prints the closing
// message, or one line on standard error, and returns the exit status.
int ecrireBase(const store::Store& store, output::Sink& sink, store::Directory* dir,
               const std::vector<FichierBase>& groupe) {
  uint64_t taille = 0;
  for (const FichierBase& f : groupe) taille += f.contenu.size();
  store::Status s = store::CheckFreeSpace(store.env(), store.path(paths::kImageBaseDir), taille);
  if (!s.ok()) {
    sink.report(rptPlaceInsuffisante(output::printable(s.ToString())));
    return 1;
  }
  store::Commit commit(dir);
  for (const FichierBase& f : groupe)
    if (s.ok()) s = commit.Stage(f.nom, f.contenu);
  if (s.ok()) s = commit.Finish();
  if (!s.ok()) {
    sink.report(rptEcritureBase(output::printable(s.ToString())));
    return 1;
  }
  sink.out(kMsgIndexationFinie);
  return 0;
}

}  // namespace

int indexImage(const store::Store& store, output::Sink& sink) {
  std::unique_ptr<store::Directory> baseDir;
  if (!store.env().OpenDirectory(store.path(paths::kImageBaseDir), &baseDir).ok()) {
    sink.report(rptBaseIntrouvable(paths::kImageBaseDir));
    return 1;
  }
  const ParamBits bits = init_values_file(store, sink, ParamBits{});

  std::vector<std::unique_ptr<store::Directory>> corpora;
  std::vector<Entree> entrees;
  listerCorpus(store, sink, paths::kRgbCorpus, corpora, entrees);
  listerCorpus(store, sink, paths::kNbCorpus, corpora, entrees);

  std::vector<Traitement> traitements(entrees.size());
  sink.progress().Start("image", entrees.size(), 0);
  parallel::for_each_index(entrees.size(), [&](size_t i) {
    traitements[i] = traiter(entrees[i], bits);
    sink.progress().Advance(traitements[i].bytes);
  });
  sink.progress().Finish();

  // In listing order: messages, skips of names already registered with the
  // same kind, and identifiers from 0 with no gap.
  std::string liste;
  std::string base = enteteBase(bits);
  std::unordered_map<std::string, int> registered;  // name -> kind of its first line
  std::vector<image_ranking::RankedEntry> ranked;
  int32_t id = 0;
  for (size_t i = 0; i < entrees.size(); ++i) {
    const Entree& e = entrees[i];
    Traitement& t = traitements[i];
    const std::string path = e.dir + e.name;
    if (!t.opened) {
      sink.out(kMsgOuvertureFichier);
      sink.out(msgOuvertureImpossible(sink.shown(path)));
      if (!e.refusedUnreadable) sink.report(rptFichierIllisible(output::printable(path)));
      continue;
    }
    switch (t.outcome) {
      case ImageLue::Outcome::kHeaderFault:
        sink.out(readFaultMessage(t.fault));
        sink.out(msgErreurLecture(sink.shown(path)));
        continue;
      case ImageLue::Outcome::kUnknownKind:
        sink.out(msgTypeInconnu(sink.shown(path)));
        continue;
      case ImageLue::Outcome::kBodyFault:
      case ImageLue::Outcome::kRead:
        break;
    }
    if (lireBase(registered, e.name) == t.kind) continue;  // already in the base
    if (t.outcome == ImageLue::Outcome::kBodyFault) {
      sink.out(readFaultMessage(t.fault));
      sink.out(msgErreurLecture(sink.shown(path)));
      continue;
    }
    appendId(base, id);
    base += t.corps;
    std::string().swap(t.corps);
    liste += creationLien(id, e.name, nomType(t.kind));
    registered.emplace(e.name, t.kind);
    if (t.signature) ranked.push_back({id, e.name, std::move(*t.signature)});
    t.signature.reset();
    ++id;
  }

  // The group the indexation replaces; a file derived from the same images
  // joins it here, so that it is committed with them.
  std::vector<FichierBase> groupe;
  groupe.push_back({nomDe(paths::kImageList), std::move(liste)});
  groupe.push_back({nomDe(paths::kImageDescriptors), std::move(base)});
  groupe.push_back({nomDe(paths::kImageRanked), image_ranking::build_ranked_file(bits, ranked)});
  return ecrireBase(store, sink, baseDir.get(), groupe);
}

}  // namespace image
