#include "text/ranking/verdict.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "text/ranking/string_table.h"
#include "text/ranking/typos.h"

namespace textrank {

namespace {

// Costs in quarters of a word. A word missing, extra or replaced costs its
// weight: one quarter per byte and one for its blank, at most a whole word,
// so a typo that changes a one-letter word ("l", "d", "a") costs half a word.
constexpr int kTypo = 1;
constexpr int kWord = 4;
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

// The words of a list, with what the typo checks look at first.
struct Words {
  std::vector<std::string_view> text;
  std::vector<uint32_t> number;  // equal words, equal numbers
  std::vector<uint16_t> size;    // saturated
  std::vector<char> first, last;
  std::vector<int64_t> weight;

  void add(std::string_view w, uint32_t n) {
    text.push_back(w);
    number.push_back(n);
    size.push_back(static_cast<uint16_t>(std::min<size_t>(w.size(), UINT16_MAX)));
    first.push_back(w.front());
    last.push_back(w.back());
    weight.push_back(static_cast<int64_t>(std::min<size_t>(kWord, w.size() + 1)));
  }
};

inline size_t gap(size_t a, size_t b) { return a > b ? a - b : b - a; }

// 1 - c / w for query words q against document words d[from, to): see
// verbatim_similarity.
template <class Near, class Glued>
double align(const Words& q, const Words& d, size_t from, size_t to, Near& near, Glued& glued) {
  const size_t m = q.text.size();
  // cost[i][j]: least cost of the first i query words ending at document
  // word from + j; row 0 is free (a match may start anywhere). Three rows
  // kept.
  const size_t cols = to - from;
  std::vector<int64_t> rows(3 * (cols + 1));
  int64_t* two = rows.data();
  int64_t* one = two + (cols + 1);
  int64_t* cur = one + (cols + 1);
  std::fill(one, one + cols + 1, 0);
  int64_t total = 0;  // the weight of the query words so far
  for (size_t i = 1; i <= m; ++i) {
    const uint32_t qk = q.number[i - 1];
    const int64_t qw = q.weight[i - 1];
    total += qw;
    cur[0] = total;
    for (size_t j = 1; j <= cols; ++j) {
      const size_t dj = from + j - 1;
      int64_t c = std::min(one[j] + qw, cur[j - 1] + d.weight[dj]);
      if (qk == d.number[dj]) {
        c = std::min(c, one[j - 1]);
      } else {
        c = std::min(c, one[j - 1] + (near(i - 1, dj) ? kTypo : std::max(qw, d.weight[dj])));
        // Two query words for one document word, and the other way round.
        if (i > 1 && glued(q, i - 1, d, dj)) c = std::min(c, two[j - 1] + kTypo);
        if (j > 1 && glued(d, dj, q, i - 1)) c = std::min(c, one[j - 2] + kTypo);
      }
      cur[j] = c;
    }
    std::swap(two, one);
    std::swap(one, cur);
  }
  const int64_t best = *std::min_element(one, one + cols + 1);
  return std::max(0.0, 1.0 - static_cast<double>(best) / static_cast<double>(total));
}

}  // namespace

double verbatim_similarity(std::string_view query, std::string_view document) {
  const std::vector<std::string_view> dt = split(document, SIZE_MAX);
  size_t most = kMostComparedWords;
  if (!dt.empty()) most = std::min(most, std::max<size_t>(kMinSourceWords, kMostCells / dt.size()));
  const std::vector<std::string_view> qt = split(query, most);
  const size_t m = qt.size(), n = dt.size();
  if (m == 0) return 0;

  // Query words are numbered first, so their numbers are below `known_rows`.
  StringTable table;
  Words q, d;
  bool inserted;
  for (const std::string_view w : qt) q.add(w, table.intern(w, hash_bytes(w), &inserted));
  const size_t known_rows = table.size();
  for (const std::string_view w : dt) d.add(w, table.intern(w, hash_bytes(w), &inserted));

  // Only a stretch of the document about as long as the query can hold a
  // good match. The alignment runs around the window holding the most
  // distinct pairs of neighbouring words that are neighbours in the query
  // too (so a page repeating some of the query's words or phrases does not
  // draw it away), and over the one holding the most distinct query words
  // when that is elsewhere.
  const size_t width = m + m / 4 + 8, margin = m / 8 + 4;
  std::vector<std::pair<size_t, size_t>> windows;
  if (n <= width + m + 2 * margin) {
    windows.push_back({0, n});
  } else {
    std::vector<uint64_t> pairs;
    for (size_t i = 0; i + 1 < m; ++i) pairs.push_back(uint64_t{q.number[i]} << 32 | q.number[i + 1]);
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    // For each document position, the number of the query pair or word it
    // starts, or kNone.
    constexpr uint32_t kNone = UINT32_MAX;
    std::vector<uint32_t> pair_at(n, kNone), word_at(n, kNone);
    for (size_t j = 0; j < n; ++j) {
      if (d.number[j] >= known_rows) continue;
      word_at[j] = d.number[j];
      if (j + 1 < n && d.number[j + 1] < known_rows) {
        const uint64_t key = uint64_t{d.number[j]} << 32 | d.number[j + 1];
        const auto it = std::lower_bound(pairs.begin(), pairs.end(), key);
        if (it != pairs.end() && *it == key) pair_at[j] = static_cast<uint32_t>(it - pairs.begin());
      }
    }
    // The first window of `width` words holding the most distinct kinds,
    // widened so that a stretch of about m words overlapping it fits
    // whichever part of it holds the marks.
    const auto best_window = [&](const std::vector<uint32_t>& at, size_t kinds) {
      std::vector<uint32_t> inside(kinds, 0);
      size_t distinct = 0, best = 0, best_end = std::min(n, width);
      for (size_t j = 0; j < n; ++j) {
        if (at[j] != kNone && inside[at[j]]++ == 0) ++distinct;
        if (j >= width && at[j - width] != kNone && --inside[at[j - width]] == 0) --distinct;
        if (distinct > best) {
          best = distinct;
          best_end = j + 1;
        }
      }
      const size_t from = best_end > width + margin ? best_end - width - margin : 0;
      return std::pair<size_t, size_t>{from, std::min(n, best_end + m + margin)};
    };
    windows.push_back(best_window(pair_at, pairs.size()));
    const auto other = best_window(word_at, known_rows);
    if (other.second <= windows[0].first || other.first >= windows[0].second) windows.push_back(other);
  }

  // Whether two distinct words are within a typo, worked out once per pair
  // when the table stays small: 0 unknown, 1 near, 2 far.
  const size_t distinct = table.size();
  const bool cache = known_rows * distinct <= (size_t{1} << 24);
  std::vector<uint8_t> known(cache ? known_rows * distinct : 0, 0);
  const auto near = [&](size_t i, size_t j) {
    if (gap(q.size[i], d.size[j]) > 2) return false;
    if (!cache) return within_typos(q.text[i], {}, d.text[j]);
    uint8_t& k = known[static_cast<size_t>(q.number[i]) * distinct + d.number[j]];
    if (k == 0) k = within_typos(q.text[i], {}, d.text[j]) ? 1 : 2;
    return k == 1;
  };
  // Two words glued by a typo keep the outer bytes of the pair.
  const auto glued = [](const Words& a, size_t i, const Words& b, size_t j) {
    return gap(size_t{a.size[i - 1]} + a.size[i], b.size[j]) <= 2 && a.first[i - 1] == b.first[j] &&
           a.last[i] == b.last[j] && within_typos(a.text[i - 1], a.text[i], b.text[j]);
  };

  double similarity = 0;
  for (const auto& [from, to] : windows) similarity = std::max(similarity, align(q, d, from, to, near, glued));
  return similarity;
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
