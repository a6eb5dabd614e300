#include "ranking/classement.h"

#include "ranking/report.h"

namespace ranking {

int RankQuery(const store::Store& store, const Ranker& ranker, std::string_view query_bytes,
              Ranking* ranking, Failure* failure) {
  std::unique_ptr<store::MappedFile> ranked;
  const store::Status s = store.env().MapFile(store.path(ranker.ranked_file()), &ranked);
  if (!s.ok()) {
    failure->ranked_file = true;
    failure->message = std::string("fichier de classement illisible : ") + ranker.ranked_file() + " : " +
                       s.cause() + " ; lancez d'abord engine indexation";
    return 1;
  }
  std::string why;
  switch (ranker.Rank(ranked->data(), query_bytes, ranking, &why)) {
    case Ranker::Outcome::kRanked:
      return 0;
    case Ranker::Outcome::kBadRankedFile:
      failure->ranked_file = true;
      failure->message = std::string("fichier de classement endommagé : ") + ranker.ranked_file() + " : " +
                         why + " ; relancez engine indexation";
      return 1;
    case Ranker::Outcome::kBadQuery:
      break;
  }
  failure->ranked_file = false;
  failure->message = why;
  return 1;
}

int Classement(const store::Store& store, output::Sink& sink, const Ranker& ranker, const Options& options,
               const std::optional<std::string>& stdin_bytes) {
  std::string file_bytes;
  if (options.path != "-") {
    const store::Status s = store.env().ReadFile(store.path(options.path), &file_bytes, kMaxQueryBytes);
    if (!s.ok()) {
      sink.report("fichier de requête illisible : " + output::printable(options.path) + " : " + s.cause());
      return 1;
    }
  }
  const std::string_view query = options.path == "-" ? std::string_view(*stdin_bytes) : file_bytes;
  Ranking ranking;
  Failure failure;
  if (RankQuery(store, ranker, query, &ranking, &failure) != 0) {
    if (!failure.ranked_file)
      failure.message = "requête inutilisable : " + output::printable(options.path) + " : " + failure.message;
    sink.report(failure.message);
    return 1;
  }
  if (options.json) {
    sink.out(JsonReport(options.medium, options.path, ranking, options.max).dump() + "\n");
  } else {
    sink.out(HumanReport(options.path, ranking, options.max, sink));
  }
  return 0;
}

}  // namespace ranking
