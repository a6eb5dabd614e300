#include "ranking/report.h"

#include <cstdio>

#include "common/utf8.h"

namespace ranking {

namespace {

std::string Number(double v, const char* format) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);  // the C locale: a point, never a comma
  return buf;
}

std::string Item(const Result& r, const output::Sink& sink) {
  std::string s = sink.shown(r.name) + " (id " + std::to_string(r.id) + ")";
  return s;
}

std::string Offset(const std::optional<double>& offset) {
  return offset ? " à " + Number(*offset, "%.3f") + " s" : "";
}

size_t Shown(const Ranking& ranking, size_t max) {
  return max == 0 ? ranking.results.size() : std::min(max, ranking.results.size());
}

nlohmann::ordered_json OrNull(const std::optional<double>& v) { return v ? nlohmann::ordered_json(*v) : nlohmann::ordered_json(); }

}  // namespace

std::string HumanReport(const std::string& query, const Ranking& ranking, size_t max,
                        const output::Sink& sink) {
  std::string out = "Requête : " + sink.shown(query) + "\n";
  if (ranking.match && !ranking.results.empty()) {
    const Result& best = ranking.results.front();
    out += "Verdict : " + ranking.match_label + " : " + Item(best, sink) + Offset(best.offset_s) +
           ", confiance " + Number(ranking.confidence, "%.2f") + "\n";
  } else if (ranking.best_candidate) {
    const Result& best = *ranking.best_candidate;
    const bool own = !ranking.measure_name.empty();
    out += "Verdict : aucune correspondance sûre (meilleur candidat : " + Item(best, sink) +
           Offset(best.offset_s) + ", " + (own ? ranking.measure_name : std::string("score")) + " " +
           Number(own ? ranking.measure : best.score, "%.3f") + " sous le seuil " +
           Number(ranking.threshold, "%.3f") + ")\n";
  } else {
    out += "Verdict : aucune correspondance sûre (aucun candidat)\n";
  }
  const size_t n = Shown(ranking, max);
  for (size_t i = 0; i < n; ++i) {
    const Result& r = ranking.results[i];
    out += std::to_string(i + 1) + ". " + Item(r, sink) + " score " + Number(r.score, "%.3f") +
           Offset(r.offset_s) + "\n";
  }
  return out;
}

nlohmann::ordered_json JsonReport(const std::string& medium, const std::string& query, const Ranking& ranking,
                          size_t max) {
  nlohmann::ordered_json verdict;
  const bool match = ranking.match && !ranking.results.empty();
  verdict["match"] = match;
  if (match) {
    const Result& best = ranking.results.front();
    verdict["id"] = best.id;
    verdict["name"] = utf8::as_utf8(best.name);
    verdict["offset_s"] = OrNull(best.offset_s);
  } else {
    verdict["id"] = nullptr;
    verdict["name"] = nullptr;
    verdict["offset_s"] = nullptr;
  }
  verdict["confidence"] = std::clamp(ranking.confidence, 0.0, 1.0);

  nlohmann::ordered_json results = nlohmann::ordered_json::array();
  const size_t n = Shown(ranking, max);
  for (size_t i = 0; i < n; ++i) {
    const Result& r = ranking.results[i];
    results.push_back({{"rank", i + 1},
                       {"id", r.id},
                       {"name", utf8::as_utf8(r.name)},
                       {"score", r.score},
                       {"offset_s", OrNull(r.offset_s)}});
  }
  return {{"medium", medium}, {"query", utf8::as_utf8(query)}, {"verdict", verdict}, {"results", results}};
}

}  // namespace ranking
