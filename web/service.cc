#include "web/service.h"

#include <chrono>
#include <memory>
#include <vector>

#include "common/config.h"
#include "common/paths.h"
#include "common/utf8.h"
#include "launcher/launcher.h"
#include "ranking/classement.h"
#include "ranking/report.h"
#include "store/lock.h"
#include "web/engine_calls.h"
#include "web/lists.h"
#include "web/media.h"
#include "web/params.h"

namespace web {

namespace {

const char* const kMedia[] = {"texte", "image", "son"};

// Holds the store lock for one request. A recovery that failed still leaves
// the lock held: the request then meets the damaged files itself.
class RequestLock {
 public:
  RequestLock(const store::Store& store, store::FileLock::Mode mode) {
    (void)store::LockStore(store.env(), launcher::LockPlanFor(store), mode, &lock_);
  }
  bool held() const { return lock_ != nullptr; }

 private:
  std::unique_ptr<store::FileLock> lock_;
};

Reply NoLock() { return ErrorReply(500, "verrou du magasin impossible à prendre : magasin inaccessible"); }

const char* ListOf(const std::string& medium) {
  if (medium == "texte") return paths::kTextList;
  if (medium == "image") return paths::kImageList;
  return paths::kSoundList;
}

// Items in a medium's list; 0 when the list cannot be read.
size_t Count(const store::Store& store, const std::string& medium) {
  std::string list;
  if (!store.env().ReadFile(store.path(ListOf(medium)), &list).ok()) return 0;
  return CountEntries(list);
}

}  // namespace

Service::Service(const store::Store& store, std::string store_path, RankerLookup rankers)
    : store_(store), store_path_(std::move(store_path)), rankers_(std::move(rankers)) {}

Reply Service::Classement(const std::string& medium, const Params& params, std::string_view body) const {
  if (!ValidMedium(medium)) return ErrorReply(404, "support inconnu : " + medium);
  size_t max = 0;
  std::string nom, error;
  if (!ParseMax(Param(params, "max"), &max, &error) || !ParseNom(Param(params, "nom"), &nom, &error))
    return ErrorReply(400, error);
  if (body.empty()) return ErrorReply(400, "requête vide : envoyez le contenu du fichier");
  const ranking::Ranker* ranker = rankers_ ? rankers_(medium) : nullptr;
  if (ranker == nullptr) return ErrorReply(503, "classement " + medium + " : pas encore disponible");

  const RequestLock lock(store_, store::FileLock::Mode::kShared);
  if (!lock.held()) return NoLock();
  ranking::Ranking ranking;
  ranking::Failure failure;
  if (ranking::RankQuery(store_, *ranker, body, &ranking, &failure) != 0) {
    if (failure.ranked_file) return ErrorReply(503, failure.message);
    return ErrorReply(400, "requête inutilisable : " + failure.message);
  }
  return JsonReply(ranking::JsonReport(medium, nom, ranking, max));
}

Reply Service::Recherche(const Params& params) const {
  std::string mot, error;
  if (!ParseMot(Param(params, "mot"), &mot, &error)) return ErrorReply(400, error);
  const RequestLock lock(store_, store::FileLock::Mode::kShared);
  if (!lock.held()) return NoLock();
  std::vector<calls::WordHit> hits;
  if (!calls::LookUpWord(store_, mot, &hits))
    return ErrorReply(503, "index des textes illisible : lancez d'abord l'indexation");
  nlohmann::ordered_json results = nlohmann::ordered_json::array();
  for (const calls::WordHit& hit : hits) {
    nlohmann::ordered_json name = hit.name.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(utf8::as_utf8(hit.name));
    results.push_back({{"id", hit.id}, {"name", name}, {"count", hit.count}});
  }
  nlohmann::ordered_json answer;
  answer["mot"] = utf8::as_utf8(mot);
  answer["results"] = std::move(results);
  return JsonReply(answer);
}

Reply Service::Media(const std::string& medium, std::string_view segment) const {
  const char* suffix = medium == "image" ? ".png" : medium == "son" ? ".wav" : "";
  if (!ValidMedium(medium)) return ErrorReply(404, "support inconnu : " + medium);
  std::string id, error;
  if (!ParseItem(segment, suffix, &id, &error)) return ErrorReply(400, error);
  const RequestLock lock(store_, store::FileLock::Mode::kShared);
  if (!lock.held()) return NoLock();
  if (medium == "image") return ImageItem(store_, id);
  if (medium == "son") return SoundItem(store_, id);
  return TextItem(store_, id);
}

Reply Service::Indexation() const {
  const RequestLock lock(store_, store::FileLock::Mode::kExclusive);
  if (!lock.held()) return NoLock();
  output::StringSink sink;
  config::Ensure(store_, sink);
  nlohmann::ordered_json answer;
  for (const char* medium : kMedia) {
    const auto start = std::chrono::steady_clock::now();
    const int status = calls::Index(medium, store_, sink);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    answer[medium] = {{"count", Count(store_, medium)}, {"seconds", took.count()}, {"status", status}};
  }
  return JsonReply(answer);
}

Reply Service::Etat() const {
  const RequestLock lock(store_, store::FileLock::Mode::kShared);
  if (!lock.held()) return NoLock();
  nlohmann::ordered_json answer;
  answer["store"] = utf8::as_utf8(store_path_);
  for (const char* medium : kMedia) answer[medium] = Count(store_, medium);
  nlohmann::ordered_json ranked;
  for (const char* medium : kMedia) ranked[medium] = rankers_ && rankers_(medium) != nullptr;
  answer["classement"] = ranked;
  return JsonReply(answer);
}

}  // namespace web
