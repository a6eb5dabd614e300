#include "text/ranking/rank.h"

#include <algorithm>
#include <vector>

#include "text/ranking/bm25.h"
#include "text/ranking/describe.h"
#include "text/ranking/verdict.h"

namespace textrank {

namespace {

// Documents after the best one that may still be found to be the source.
constexpr size_t kSourceCandidates = 5;
// A document holding this much of the query verbatim, this much more than
// the best one, is a closer match.
constexpr double kCloseSimilarity = 0.5;
constexpr double kCloserBy = 0.25;

}  // namespace

ranking::Ranking rank(const RankedFile& file, std::string_view query_bytes) {
  return rank(file, Describer().describe(query_bytes));
}

ranking::Ranking rank(const RankedFile& file, const Description& query) {
  const uint64_t n = file.documents();
  std::vector<double> scores(n, 0.0);
  for (const Term& t : query.terms) {
    const auto postings = file.find(query.stem(t));
    if (!postings) continue;
    const double w = idf(n, postings->holders);
    RankedFile::PostingReader reader(file, *postings);
    uint64_t index;
    uint32_t tf;
    while (reader.next(index, tf))
      scores[index] += t.count * term_score(w, tf, file.length(index), file.average_length(), file.k1(), file.b());
  }

  struct Hit {
    double score;
    int64_t id;
    uint64_t index;
  };
  std::vector<Hit> hits;
  for (uint64_t i = 0; i < n; ++i)
    if (scores[i] > 0) hits.push_back({scores[i], file.document(i).id, i});
  std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
    return a.score != b.score ? a.score > b.score : a.id < b.id;
  });

  ranking::Ranking r;
  r.threshold = file.threshold();
  r.results.reserve(hits.size());
  for (const Hit& h : hits) {
    ranking::Result res;
    res.id = h.id;
    res.name = std::string(file.document(h.index).name);
    res.score = h.score;
    r.results.push_back(std::move(res));
  }
  if (r.results.empty()) {
    // No document shares a word with the query: surely no source.
    const Verdict v = judge(0, 0, file.threshold(), file.min_source_words());
    r.confidence = v.confidence;
    r.measure_name = "similitude";
    return r;
  }

  // The verdict: the first of the best few documents holding the query
  // nearly verbatim is its source, and comes first. Failing that, one that
  // holds most of the query's words in order (a rewording of it) while the
  // best does not comes first, and the verdict is "no match".
  const size_t words =
      query.words.empty() ? 0 : 1 + static_cast<size_t>(std::count(query.words.begin(), query.words.end(), ' '));
  const size_t tried = words < file.min_source_words() ? 1 : std::min(kSourceCandidates, hits.size());
  size_t chosen = 0;
  double similarity = 0;
  for (size_t k = 0; k < tried; ++k) {
    const double s = verbatim_similarity(query.words, file.document(hits[k].index).words);
    if (s >= file.threshold()) {
      chosen = k;
      similarity = s;
      break;
    }
    if (k == 0 || (s >= kCloseSimilarity && s >= similarity + kCloserBy)) {
      chosen = k;
      similarity = s;
    }
  }
  std::rotate(r.results.begin(), r.results.begin() + static_cast<std::ptrdiff_t>(chosen),
              r.results.begin() + static_cast<std::ptrdiff_t>(chosen) + 1);
  const Verdict v = judge(similarity, words, file.threshold(), file.min_source_words());
  r.match = v.source;
  r.confidence = v.confidence;
  r.measure_name = "similitude";
  r.measure = similarity;
  if (r.match) {
    r.match_label = "source";
  } else {
    r.best_candidate = r.results.front();
  }
  return r;
}

}  // namespace textrank
