#include "launcher/launcher.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <new>

#include "common/config.h"
#include "common/paths.h"
#include "image/image.h"
#include "keyword/recherche.h"
#include "sound/sound.h"
#include "store/lock.h"
#include "text/comparaison.h"
#include "text/indexation.h"

namespace launcher {

const char kUsageLine[] =
    "usage: engine indexation | engine comparaison texte|son|image CHEMIN | engine recherche MOT\n";

Request parse_request(int argc, const char* const* argv) {
  Request r;
  if (argc < 2) return r;
  const std::string_view word = argv[1];
  if (word == "indexation") {
    r.kind = Kind::kIndexation;
  } else if (word == "comparaison" && argc >= 4) {
    const std::string_view medium = argv[2];
    if (medium == "texte") {
      r.kind = Kind::kCompareText;
    } else if (medium == "son") {
      r.kind = Kind::kCompareSound;
    } else if (medium == "image") {
      r.kind = Kind::kCompareImage;
    } else {
      return r;
    }
    r.argument = argv[3];
  } else if (word == "recherche" && argc >= 3) {
    r.kind = Kind::kSearch;
    r.argument = argv[2];
  }
  return r;
}

namespace {

// The lock of a request that may change the store, and the recovery of any
// commit a crash left unfinished. A store root that cannot be opened gives
// no lock: the request then fails on its own files.
std::unique_ptr<store::FileLock> lock_store(const store::Store& store, output::Sink& sink) {
  const store::LockPlan plan{
      store.path(paths::kExternRoot),
      store.path(paths::kDatabaseDir),
      {store.path(paths::kTextBaseDir), store.path(paths::kImageBaseDir), store.path(paths::kSoundBaseDir)},
      nullptr};
  std::unique_ptr<store::FileLock> lock;
  const store::Status s = store::LockStore(store.env(), plan, store::FileLock::Mode::kExclusive, &lock);
  if (!s.ok() && lock) sink.report("reprise d'une écriture interrompue impossible : " + output::printable(s.ToString()));
  return lock;
}

// `release_lock` gives the store lock back before the request ends.
int dispatch(const store::Store& store, output::Sink& sink, const Request& request,
             const std::function<void()>& release_lock) {
  (void)store;
  (void)sink;
  switch (request.kind) {
    case Kind::kIndexation: {
      const int t = text::rmThenStartIndexation(store, sink);
      const int i = image::indexImage();
      const int s = sound::resetAndIndex();
      return std::max({t, i, s});
    }
    case Kind::kCompareText:
      return text::indexFileToCompare(store, sink, request.argument);
    case Kind::kCompareSound:
      return sound::compare(request.argument);
    case Kind::kCompareImage:
      return image::searchImage(request.argument);
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
    case Kind::kUsage:
      break;
  }
  return 2;
}

}  // namespace

int run(const store::Store& store, output::Sink& sink, const Request& request) {
  if (request.kind == Kind::kUsage) {
    sink.err(kUsageLine);
    return 2;
  }
  std::unique_ptr<store::FileLock> lock = lock_store(store, sink);
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

}  // namespace launcher
