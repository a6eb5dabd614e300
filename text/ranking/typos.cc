#include "text/ranking/typos.h"

#include <algorithm>
#include <array>

namespace textrank {

namespace {

// a1 + a2 read as one word.
struct Joined {
  std::string_view a1, a2;
  size_t size() const { return a1.size() + a2.size(); }
  char operator[](size_t i) const { return i < a1.size() ? a1[i] : a2[i - a1.size()]; }
};

// At most one edit apart, in one pass.
bool one_edit(const Joined& a, std::string_view b) {
  const size_t la = a.size(), lb = b.size();
  size_t i = 0;
  const size_t common = std::min(la, lb);
  while (i < common && a[i] == b[i]) ++i;
  if (i == common) return (la > lb ? la - lb : lb - la) <= 1;
  const auto rest_equal = [&](size_t ia, size_t ib) {
    if (la - ia != lb - ib) return false;
    for (; ia < la; ++ia, ++ib)
      if (a[ia] != b[ib]) return false;
    return true;
  };
  if (la == lb) {
    if (rest_equal(i + 1, i + 1)) return true;  // replaced
    return i + 1 < la && a[i] == b[i + 1] && a[i + 1] == b[i] && rest_equal(i + 2, i + 2);  // swapped
  }
  return la > lb ? rest_equal(i + 1, i) : rest_equal(i, i + 1);  // inserted or deleted
}

// Optimal string alignment distance within a band of two, saturated at 3.
size_t banded_distance(const Joined& a, std::string_view b) {
  constexpr size_t kBig = 3;
  const size_t la = a.size(), lb = b.size();
  // Rows are indexed j - i + 2, for j - i in [-2, 2].
  std::array<size_t, 5> two{}, one{}, cur{};
  two.fill(kBig);
  one.fill(kBig);
  for (size_t j = 0; j <= std::min<size_t>(lb, 2); ++j) one[j + 2] = j;
  for (size_t i = 1; i <= la; ++i) {
    cur.fill(kBig);
    size_t best = kBig;
    for (size_t k = 0; k < 5; ++k) {
      if (i + k < 2) continue;
      const size_t j = i + k - 2;
      if (j > lb) break;
      size_t d = kBig;
      if (j == 0) {
        d = i;
      } else {
        d = one[k] + (a[i - 1] == b[j - 1] ? 0 : 1);                      // (i-1, j-1)
        if (k + 1 < 5) d = std::min(d, one[k + 1] + 1);                  // (i-1, j)
        if (k > 0) d = std::min(d, cur[k - 1] + 1);                      // (i, j-1)
        if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
          d = std::min(d, two[k] + 1);                                    // (i-2, j-2)
      }
      cur[k] = std::min(d, kBig);
      best = std::min(best, cur[k]);
    }
    if (best >= kBig) return kBig;
    two = one;
    one = cur;
  }
  return lb + 2 >= la && lb <= la + 2 ? one[lb - la + 2] : kBig;
}

}  // namespace

bool within_typos(std::string_view a1, std::string_view a2, std::string_view b) {
  const Joined a{a1, a2};
  const size_t la = a.size(), lb = b.size();
  const size_t most = typos_allowed(la, lb);
  if (most == 0) return la == lb && b.substr(0, a1.size()) == a1 && b.substr(a1.size()) == a2;
  if ((la > lb ? la - lb : lb - la) > most) return false;
  if (most == 1) return one_edit(a, b);
  return banded_distance(a, b) <= 2;
}

}  // namespace textrank
