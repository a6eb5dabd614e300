#include "launcher/launcher.h"

#include <locale.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <new>

#include "common/config.h"
#include "common/paths.h"
#include "image/comparaison.h"
#include "image/indexation.h"
#include "keyword/recherche.h"
#include "launcher/help.h"
#include "launcher/init.h"
#include "launcher/rankers.h"
#include "ranking/classement.h"
#include "sound/comparaison.h"
#include "sound/indexation.h"
#include "store/lock.h"
#include "text/comparaison.h"
#include "text/indexation.h"

namespace launcher {

const char kUsageLine[] =
    "usage: engine [-C DOSSIER] indexation | comparaison texte|son|image CHEMIN | recherche MOT"
    " | classement texte|image|son CHEMIN [--max N] [--json] | init DOSSIER | --help | --version\n";

Request parse_request(int argc, const char* const* argv) {
  Request r;
  if (argc < 2) return r;
  const std::vector<std::string> words(argv + 1, argv + argc);
  const std::string& word = words[0];
  // The word after the request's own words, skipping a "--" that lets a
  // path or a word read as an option ("-h").
  auto operand = [&](size_t i, std::string* out) {
    if (i < words.size() && words[i] == "--" && i + 1 < words.size()) ++i;
    if (i >= words.size()) return false;
    *out = words[i];
    return true;
  };
  if (word == "indexation") {
    r.kind = Kind::kIndexation;
  } else if (word == "comparaison" && words.size() >= 3) {
    const std::string& medium = words[1];
    if (medium == "texte") {
      r.kind = Kind::kCompareText;
    } else if (medium == "son") {
      r.kind = Kind::kCompareSound;
    } else if (medium == "image") {
      r.kind = Kind::kCompareImage;
    } else {
      return r;
    }
    operand(2, &r.argument);
  } else if (word == "recherche" && operand(1, &r.argument)) {
    r.kind = Kind::kSearch;
  } else if (word == "classement") {
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    if (ranking::ParseOptions(rest, &r.rank, &r.error)) r.kind = Kind::kRank;
  }
  return r;
}

store::LockPlan LockPlanFor(const store::Store& store, std::function<void()> on_wait) {
  return store::LockPlan{
      store.path(paths::kExternRoot),
      store.path(paths::kDatabaseDir),
      {store.path(paths::kTextBaseDir), store.path(paths::kImageBaseDir), store.path(paths::kSoundBaseDir)},
      std::move(on_wait)};
}

namespace {

// Requests need the store's root beside the working directory; without it,
// one line says where a store should be and nothing is created.
bool store_found(const store::Store& store, output::Sink& sink) {
  store::FileInfo info;
  const store::Status s = store.env().Stat(store.path(paths::kExternRoot), store::Follow::kLinks, &info);
  if (s.ok() && info.type == store::FileInfo::Type::kDirectory) return true;
  if (s.ok() || s.code() == ENOENT || s.code() == ENOTDIR) {
    sink.report(
        "aucun magasin de données trouvé depuis ce dossier (../EXTERN_FILES absent) : lancez engine depuis "
        "le dossier work/ d'un magasin, ou utilisez engine -C DOSSIER, ou créez un magasin avec engine init "
        "DOSSIER");
    return false;
  }
  return true;  // there but unreadable: the lock says why
}

// The lock of a request, and the recovery of any commit a crash left
// unfinished. Null, after one line saying why, when the store cannot be
// locked (its root cannot be opened) or a recovery fails: a request never
// runs unlocked or on a group of files half old, half new.
std::unique_ptr<store::FileLock> lock_store(const store::Store& store, output::Sink& sink,
                                            store::FileLock::Mode mode) {
  const store::LockPlan plan = LockPlanFor(store, [&sink] {
    if (sink.err_is_terminal()) sink.report("magasin occupé par une autre requête : attente de son tour…");
  });
  std::unique_ptr<store::FileLock> lock;
  const store::Status s = store::LockStore(store.env(), plan, mode, &lock);
  if (s.ok()) return lock;
  if (lock) {
    sink.report("reprise d'une indexation interrompue impossible : " + output::printable(s.ToString()) +
                " ; vérifiez les droits et la place du dossier, puis relancez");
  } else {
    sink.report("impossible de verrouiller le magasin : " + output::printable(s.ToString()) +
                " ; vérifiez les droits du dossier EXTERN_FILES");
  }
  return nullptr;
}

int dispatch(const store::Store& store, output::Sink& sink, const Request& request,
             const std::function<void()>& release_lock) {
  switch (request.kind) {
    case Kind::kIndexation: {
      const int t = text::rmThenStartIndexation(store, sink);
      const int i = image::indexImage(store, sink);
      const int s = sound::resetAndIndex(store, sink);
      return std::max({t, i, s});
    }
    case Kind::kCompareText:
      return text::indexFileToCompare(store, sink, request.argument);
    case Kind::kCompareSound:
      return sound::compare(store, sink, request.argument);
    case Kind::kCompareImage:
      return image::searchImage(store, sink, request.argument);
    case Kind::kSearch:
      // The answers to the prompt come from standard input, which must see
      // the prompt first. The index and the list are read under the lock;
      // the prompt waits for a person without it.
      return keyword::byword(
          store, sink, request.argument,
          [] {
            std::fflush(stdout);
            return std::getchar();
          },
          release_lock);
    case Kind::kRank:
    case Kind::kUsage:
      break;
  }
  return 2;
}

// "classement": reads standard input first when it holds the query, then
// shares the store with other readers. Never creates the configuration.
int rank(const store::Store& store, output::Sink& sink, const ranking::Options& options) {
  const ranking::Ranker* ranker = RankerFor(options.medium);
  if (ranker == nullptr) {
    sink.report("classement " + options.medium + " : pas encore disponible");
    return 1;
  }
  std::optional<std::string> input;
  if (options.path == "-") {
    input.emplace();
    const store::Status s = store.env().ReadStandardInput(&*input, ranking::kMaxQueryBytes);
    if (!s.ok()) {
      sink.report("entrée standard illisible : " + s.cause());
      return 1;
    }
  }
  const std::unique_ptr<store::FileLock> lock = lock_store(store, sink, store::FileLock::Mode::kShared);
  if (!lock) return 1;
  return ranking::Classement(store, sink, *ranker, options, input);
}

}  // namespace

int run(const store::Store& store, output::Sink& sink, const Request& request) {
  if (request.kind == Kind::kUsage) {
    if (!request.error.empty()) sink.report(request.error);
    sink.err(kUsageLine);
    return 2;
  }
  if (!store_found(store, sink)) return 1;
  try {
    if (request.kind == Kind::kRank) return rank(store, sink, request.rank);
  } catch (const std::bad_alloc&) {
    sink.report("mémoire insuffisante : requête abandonnée");
    return 1;
  }
  std::unique_ptr<store::FileLock> lock = lock_store(store, sink, store::FileLock::Mode::kExclusive);
  if (!lock) return 1;
  config::Ensure(store, sink);
  try {
    return dispatch(store, sink, request, [&lock] { lock.reset(); });
  } catch (const std::bad_alloc&) {
    // Data that cannot fit in memory (a base edited to announce enormous
    // descriptors, say) ends the request with one line, not a crash; every
    // base is written whole or not at all, so none is left half-done.
    sink.report("mémoire insuffisante : requête abandonnée");
    return 1;
  }
}

int Main(const std::vector<std::string>& words, output::Sink& sink) {
  for (const std::string& w : words) {
    if (w == "--") break;
    if (w == "--help" || w == "-h") {
      sink.out(HelpText());
      return 0;
    }
  }
  size_t first = 0;
  if (!words.empty() && words[0] == "--version") {
    sink.out(VersionText());
    return 0;
  }
  if (!words.empty() && words[0] == "-C") {
    if (words.size() < 2) {
      sink.err(kUsageLine);
      return 2;
    }
    if (::chdir(words[1].c_str()) != 0) {
      const int error = errno;
      sink.report("impossible d'aller dans le dossier " + output::printable(words[1]) + " : " +
                  store::Status::Error(words[1], error).cause());
      return 1;
    }
    first = 2;
  }
  store::Env* env = store::Env::Default();
  if (first < words.size() && words[first] == "init") {
    if (first + 2 != words.size()) {
      sink.report("init demande un seul dossier : engine init DOSSIER");
      sink.err(kUsageLine);
      return 2;
    }
    return Init(*env, sink, words[first + 1]);
  }
  std::vector<const char*> argv{"engine"};
  for (size_t i = first; i < words.size(); ++i) argv.push_back(words[i].c_str());
  // Corpus listings sort as `ls` does under the environment's LC_COLLATE;
  // nothing else follows the locale (numbers always print in the C locale).
  const locale_t collation = ::newlocale(LC_COLLATE_MASK, "", nullptr);
  const store::Store store(env, "", collation);
  const int status = run(store, sink, parse_request(static_cast<int>(argv.size()), argv.data()));
  if (collation != nullptr) ::freelocale(collation);
  return status;
}

}  // namespace launcher
