// "indexation", image side: rebuilds the image list and the descriptor base
// from the colour corpus, then the grey corpus, each in listing order.
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/atomic_write.h"
#include "common/fileio.h"
#include "common/listing.h"
#include "common/parallel.h"
#include "common/paths.h"
#include "image/config_bits.h"
#include "image/describe.h"
#include "image/descriptor.h"
#include "image/image.h"
#include "image/messages.h"

namespace image {

namespace {

struct Entree {
  std::string dir;
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
};

void print(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// The images of one corpus in listing order. Names that the listing refused
// because the file cannot be opened are kept (marked) so that they get the
// opening messages in their place; the listing already reported them on
// standard error. Names with white space and non-regular entries are left out.
void listerCorpus(const std::string& dir, std::vector<Entree>& out) {
  const listing::Result listed = listing::list_corpus(dir, {".txt", true});
  std::vector<std::string> names = listed.names;
  std::unordered_set<std::string> unreadable;
  for (const auto& refusal : listed.refused) {
    if (listing::has_space(refusal.name)) continue;
    struct stat st;
    const std::string path = dir + refusal.name;
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) {
      unreadable.insert(refusal.name);
      names.push_back(refusal.name);
    }
  }
  if (!unreadable.empty()) listing::sort_like_ls(names);
  for (auto& name : names) {
    const bool bad = unreadable.count(name) != 0;
    out.push_back({dir, std::move(name), bad});
  }
}

Traitement traiter(const Entree& e, const ParamBits& bits) {
  Traitement t;
  if (e.refusedUnreadable) return t;
  const std::string path = e.dir + e.name;
  std::string bytes;
  if (!fileio::read_file(path, bytes)) return t;
  t.opened = true;
  Description d = describeImage(bytes, path, bits);
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

bool isDirectory(const char* path) {
  struct stat st;
  return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

int indexImage() {
  if (!isDirectory(paths::kImageBaseDir)) {
    fileio::report(std::string("répertoire de la base d'images introuvable : ") +
                   paths::kImageBaseDir + " ; base d'images non construite");
    return 1;
  }
  const ParamBits bits = init_values_file(paths::kConfig, ParamBits{});

  std::vector<Entree> entrees;
  listerCorpus(paths::kRgbCorpus, entrees);
  listerCorpus(paths::kNbCorpus, entrees);

  std::vector<Traitement> traitements(entrees.size());
  parallel::for_each_index(entrees.size(),
                           [&](size_t i) { traitements[i] = traiter(entrees[i], bits); });

  // In listing order: messages, skips of names already registered with the
  // same kind, and identifiers from 0 with no gap.
  std::string liste;
  std::string base = enteteBase(bits);
  std::unordered_map<std::string, int> registered;  // name -> kind of its first line
  int32_t id = 0;
  for (size_t i = 0; i < entrees.size(); ++i) {
    const Entree& e = entrees[i];
    Traitement& t = traitements[i];
    const std::string path = e.dir + e.name;
    if (!t.opened) {
      print(kMsgOuvertureFichier);
      print(msgOuvertureImpossible(path));
      if (!e.refusedUnreadable) fileio::report(fileio::printable(path) + " : fichier illisible, ignoré");
      continue;
    }
    switch (t.outcome) {
      case ImageLue::Outcome::kHeaderFault:
        print(readFaultMessage(t.fault));
        print(msgErreurLecture(path));
        continue;
      case ImageLue::Outcome::kUnknownKind:
        print(msgTypeInconnu(path));
        continue;
      case ImageLue::Outcome::kBodyFault:
      case ImageLue::Outcome::kRead:
        break;
    }
    if (lireBase(registered, e.name) == t.kind) continue;  // already in the base
    if (t.outcome == ImageLue::Outcome::kBodyFault) {
      print(readFaultMessage(t.fault));
      print(msgErreurLecture(path));
      continue;
    }
    base += "<id> " + std::to_string(id) + " </id>\n";
    base += t.corps;
    std::string().swap(t.corps);
    liste += creationLien(id, e.name, nomType(t.kind));
    registered.emplace(e.name, t.kind);
    ++id;
  }

  std::string error;
  if (!atomic_write::replace_files({{paths::kImageList, liste}, {paths::kImageDescriptors, base}},
                                   error)) {
    fileio::report("impossible d'écrire la base d'images : " + fileio::printable(error));
    return 1;
  }
  print(kMsgIndexationFinie);
  return 0;
}

}  // namespace image
