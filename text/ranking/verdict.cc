#include "text/ranking/verdict.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "text/ranking/string_table.h"

namespace textrank {

namespace {

// Costs in quarters of a word. A word missing, extra or replaced costs its
// weight: one quarter per byte and one for its blank, at most a whole word,
// so a typo that changes a one-letter word ("l", "d", "a") costs half a word.
constexpr int kTypo = 1;
constexpr int kWord = 4;
inline int64_t weight(std::string_view w) { return static_cast<int64_t>(std::min<size_t>(kWord, w.size() + 1)); }
// Query words x document words compared at most; past this, fewer query
// words are compared.
constexpr size_t kMostCells = size_t{1} << 23;

std::vector<std::string_view> split(std::string_view s, size_t most) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < s.size() && words.size() < most) {
    const size_t blank = std::min(s.find(' ', i), s.size());
    if (blank > i) words.push_back(s.substr(i, blank - i));
    i = blank + 1;
  }
  return words;
}

// Banded optimal string alignment distance between a1 + a2 and b (insert,
// delete, replace a byte or swap two neighbours), saturated at most + 1.
class Distance {
 public:
  size_t operator()(std::string_view a1, std::string_view a2, std::string_view b, size_t most) {
    a_.assign(a1);
    a_.append(a2);
    const std::string_view a = a_;
    const size_t la = a.size(), lb = b.size();
    const size_t big = most + 1;
    rows_.assign(3 * (lb + 1), big);
    size_t* two = rows_.data();
    size_t* one = two + (lb + 1);
    size_t* cur = one + (lb + 1);
    for (size_t j = 0; j <= std::min(lb, most); ++j) one[j] = j;
    for (size_t i = 1; i <= la; ++i) {
      std::fill(cur, cur + lb + 1, big);
      if (i <= most) cur[0] = i;
      const size_t lo = i > most ? i - most : 1, hi = std::min(lb, i + most);
      size_t best = cur[0];
      for (size_t j = lo; j <= hi; ++j) {
        size_t d = std::min({one[j] + 1, cur[j - 1] + 1, one[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
        if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d = std::min(d, two[j - 2] + 1);
        cur[j] = std::min(d, big);
        best = std::min(best, cur[j]);
      }
      if (best > most) return big;
      std::swap(two, one);
      std::swap(one, cur);
    }
    return one[lb];
  }

 private:
  std::string a_;
  std::vector<size_t> rows_;
};

// Typos allowed between two words of these lengths: none below two bytes,
// two from eight.
size_t typos_allowed(size_t la, size_t lb) {
  if (std::max(la, lb) < 2) return 0;
  return std::min(la, lb) >= 8 ? 2 : 1;
}

size_t gap(size_t a, size_t b) { return a > b ? a - b : b - a; }

}  // namespace

double verbatim_similarity(std::string_view query, std::string_view document) {
  const std::vector<std::string_view> d = split(document, SIZE_MAX);
  size_t most = kMostComparedWords;
  if (!d.empty()) most = std::min(most, std::max<size_t>(kMinSourceWords, kMostCells / d.size()));
  const std::vector<std::string_view> q = split(query, most);
  const size_t m = q.size(), n = d.size();
  if (m == 0) return 0;

  // Equal words get equal numbers, so most cells compare two integers.
  StringTable table;
  std::vector<uint32_t> qn(m), dn(n);
  bool inserted;
  for (size_t i = 0; i < m; ++i) qn[i] = table.intern(q[i], hash_bytes(q[i]), &inserted);
  const size_t query_distinct = table.size();
  for (size_t j = 0; j < n; ++j) dn[j] = table.intern(d[j], hash_bytes(d[j]), &inserted);

  // Whether query word x and document word y are within a typo, worked out
  // once per pair of distinct words when the table stays small.
  Distance distance;
  const auto near_pair = [&](std::string_view a, std::string_view b) {
    const size_t most = typos_allowed(a.size(), b.size());
    if (most == 0 || gap(a.size(), b.size()) > most) return false;
    // Words one edit apart share their first or their last byte.
    if (most == 1 && a.front() != b.front() && a.back() != b.back()) return false;
    return distance(a, {}, b, most) <= most;
  };
  // Query words were numbered first, so their numbers are below
  // query_distinct.
  const size_t distinct = table.size();
  const bool cache = query_distinct * distinct <= (size_t{1} << 24);
  std::vector<uint8_t> known(cache ? query_distinct * distinct : 0, 0);  // 0 unknown, 1 near, 2 far
  const auto near = [&](size_t i, size_t j) {
    if (!cache) return near_pair(q[i], d[j]);
    uint8_t& k = known[static_cast<size_t>(qn[i]) * distinct + dn[j]];
    if (k == 0) k = near_pair(q[i], d[j]) ? 1 : 2;
    return k == 1;
  };
  // Two words glued by a typo keep the outer bytes of the pair.
  const auto glued = [&](std::string_view a1, std::string_view a2, std::string_view b) {
    if (a1.front() != b.front() || a2.back() != b.back()) return false;
    const size_t la = a1.size() + a2.size(), most = typos_allowed(la, b.size());
    return most > 0 && gap(la, b.size()) <= most && distance(a1, a2, b, most) <= most;
  };

  // cost[i][j]: least cost of the first i query words ending at document
  // word j; row 0 is free (a match may start anywhere). Three rows kept.
  std::vector<int64_t> rows(3 * (n + 1));
  int64_t* two = rows.data();
  int64_t* one = two + (n + 1);
  int64_t* cur = one + (n + 1);
  std::vector<int64_t> dw(n);
  for (size_t j = 0; j < n; ++j) dw[j] = weight(d[j]);
  std::fill(one, one + n + 1, 0);
  int64_t total = 0;  // the weight of the query words so far
  for (size_t i = 1; i <= m; ++i) {
    const std::string_view qi = q[i - 1];
    const uint32_t qk = qn[i - 1];
    const int64_t qw = weight(qi);
    total += qw;
    cur[0] = total;
    for (size_t j = 1; j <= n; ++j) {
      int64_t c = std::min(one[j] + qw, cur[j - 1] + dw[j - 1]);
      if (qk == dn[j - 1]) {
        c = std::min(c, one[j - 1]);
      } else {
        const std::string_view dj = d[j - 1];
        c = std::min(c, one[j - 1] + (near(i - 1, j - 1) ? kTypo : std::max(qw, dw[j - 1])));
        // Two query words for one document word, and the other way round.
        if (i > 1 && glued(q[i - 2], qi, dj)) c = std::min(c, two[j - 1] + kTypo);
        if (j > 1 && glued(d[j - 2], dj, qi)) c = std::min(c, one[j - 2] + kTypo);
      }
      cur[j] = c;
    }
    std::swap(two, one);
    std::swap(one, cur);
  }
  const int64_t best = *std::min_element(one, one + n + 1);
  return std::max(0.0, 1.0 - static_cast<double>(best) / static_cast<double>(total));
}

Verdict judge(double similarity, size_t query_words, double threshold, size_t min_words) {
  Verdict v;
  const double s = std::clamp(similarity, 0.0, 1.0);
  if (s >= threshold && query_words < min_words) {
    v.confidence = 0.5;
    return v;
  }
  v.source = s >= threshold;
  if (v.source) {
    v.confidence = threshold >= 1 ? 1 : 0.5 + 0.5 * (s - threshold) / (1 - threshold);
  } else {
    v.confidence = threshold <= 0 ? 1 : 0.5 + 0.5 * (threshold - s) / threshold;
  }
  v.confidence = std::clamp(v.confidence, 0.0, 1.0);
  return v;
}

}  // namespace textrank
