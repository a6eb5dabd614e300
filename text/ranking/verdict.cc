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

  // Only the stretch of the document where the query's words are densest
  // can hold a good match: the alignment runs over a window of about the
  // query's length around it.
  size_t from = 0, to = n;
  const size_t width = m + m / 4 + 8, margin = m / 8 + 4;
  if (n > width + 2 * margin) {
    size_t count = 0, best = 0, best_start = 0;
    for (size_t j = 0; j < n; ++j) {
      count += d.number[j] < known_rows;
      if (j >= width) count -= d.number[j - width] < known_rows;
      if (count > best) {
        best = count;
        best_start = j + 1 >= width ? j + 1 - width : 0;
      }
    }
    from = best_start > margin ? best_start - margin : 0;
    to = std::min(n, best_start + width + margin);
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
