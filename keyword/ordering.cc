// How tricroissant orders its pairs.
//
// The exchange sequence is: for every i, for every j from 1, exchange the
// pairs i and j when counts[i] < counts[j]; then rotate everything left by one.
// Equal counts end in the order these exchanges leave them, which is visible
// to the user (it is the display order), so it must be reproduced exactly.
//
// How the exchanges act (positions counted from 0):
//  - i = 0 carries the first largest count to place 0: whenever a strictly
//    larger count is met at j, the carried pair is left at j.
//  - For i >= 1 the loops only touch places 1..n-1, and run the classic
//    "swap when a[i] < a[j] over all j" sort on them. Its pass i = 1 carries
//    the first largest count of that part to place 1, the same way. After
//    that, each pass i inserts the pair found at place i into the sorted
//    prefix 1..i-1: the pair goes after the pairs of equal count, and each
//    run of a strictly larger count passes its first pair to the start of
//    the next run, the last run's first pair landing at place i. Read run by
//    run, that is: append the pair to its own run, and rotate every run of a
//    larger count left by one.
//  - The final rotation puts the pair carried to place 0 last.
// by_runs replays this with a queue per count: the pairs of one count are
// appended in pass order, and between two appends the run is rotated once per
// smaller pair inserted meanwhile. The final place of each pair follows
// backwards from the last append (see place_run), in O(n log n) overall.
#include <algorithm>
#include <utility>
#include <vector>

#include "keyword/ordering.h"

namespace keyword {

namespace {

// Counts over 1-based slots, with the search for the k-th set slot.
class Fenwick {
 public:
  explicit Fenwick(size_t n) : tree_(n + 1, 0) {}

  void add(size_t slot, int delta) {
    for (size_t i = slot + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += delta;
  }

  // Number of set slots below `slot`.
  int before(size_t slot) const {
    int sum = 0;
    for (size_t i = slot; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }

  // The slot holding the k-th (from 0) set slot; all slots must hold 0 or 1.
  size_t kth(int k) const {
    size_t pos = 0;
    size_t step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    for (; step > 0; step /= 2) {
      if (pos + step < tree_.size() && tree_[pos + step] <= k) {
        pos += step;
        k -= tree_[pos];
      }
    }
    return pos;  // tree index pos + 1, that is slot pos
  }

 private:
  std::vector<int> tree_;
};

// One append to a run: the pair appended, and the number of smaller pairs
// inserted before it (over the whole ordering).
struct Append {
  int pair;
  long smaller_before;
};

// Final order of one run. Appends are numbered k = 1..s; after append k the
// run holds k pairs and is then rotated r_k times (smaller pairs inserted
// before the next append, or before the end). Going backwards from the final
// state: the pair of append k sits at place (k-1-r_k) mod k of its state,
// which maps to the rank ((k-1-r_k) mod k + shift) among the places not yet
// given to later appends; the next shift is that rank mod k-1.
std::vector<int> place_run(const std::vector<Append>& appends, long smaller_at_end) {
  const size_t s = appends.size();
  std::vector<int> placed(s);
  Fenwick free_places(s);
  for (size_t i = 0; i < s; ++i) free_places.add(i, 1);
  long shift = 0;
  for (size_t k = s; k >= 1; --k) {
    const long next = k == s ? smaller_at_end : appends[k].smaller_before;
    const long turns = (next - appends[k - 1].smaller_before) % static_cast<long>(k);
    const long at = ((static_cast<long>(k) - 1 - turns) % static_cast<long>(k) +
                     static_cast<long>(k)) % static_cast<long>(k);
    const long rank = (at + shift) % static_cast<long>(k);
    const size_t place = free_places.kth(static_cast<int>(rank));
    placed[place] = appends[k - 1].pair;
    free_places.add(place, -1);
    shift = k > 1 ? rank % static_cast<long>(k - 1) : 0;
  }
  return placed;
}

void exchange(int* counts, int* ids, int a, int b) {
  std::swap(counts[a], counts[b]);
  std::swap(ids[a], ids[b]);
}

}  // namespace

namespace ordering {

void by_exchanges(int* counts, int* ids, int n) {
  if (n <= 1) return;
  for (int i = 0; i < n; ++i) {
    for (int j = 1; j < n; ++j) {
      if (counts[i] < counts[j]) exchange(counts, ids, i, j);
    }
  }
  std::rotate(counts, counts + 1, counts + n);
  std::rotate(ids, ids + 1, ids + n);
}

void by_runs(int* counts, int* ids, int n) {
  if (n <= 1) return;
  // Pass i = 0, then pass i = 1 on places 1..n-1: both carry a largest count.
  for (int j = 1; j < n; ++j) {
    if (counts[0] < counts[j]) exchange(counts, ids, 0, j);
  }
  for (int j = 2; j < n; ++j) {
    if (counts[1] < counts[j]) exchange(counts, ids, 1, j);
  }

  // Runs by distinct count (ascending); pairs named by their place now.
  std::vector<int> values(counts + 1, counts + n);
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
  const auto run_of = [&](int count) {
    return static_cast<size_t>(std::lower_bound(values.begin(), values.end(), count) -
                               values.begin());
  };
  std::vector<std::vector<Append>> runs(values.size());
  runs[run_of(counts[1])].push_back({1, 0});  // the largest count, before any insertion
  Fenwick inserted(values.size());
  for (int p = 2; p < n; ++p) {
    const size_t run = run_of(counts[p]);
    runs[run].push_back({p, inserted.before(run)});
    inserted.add(run, 1);
  }

  std::vector<int> order;  // places, in final order
  order.reserve(static_cast<size_t>(n));
  for (size_t run = 0; run < runs.size(); ++run) {
    const auto placed = place_run(runs[run], inserted.before(run));
    order.insert(order.end(), placed.begin(), placed.end());
  }
  order.push_back(0);  // the final rotation puts place 0 last

  std::vector<int> new_counts(static_cast<size_t>(n)), new_ids(static_cast<size_t>(n));
  for (size_t k = 0; k < order.size(); ++k) {
    new_counts[k] = counts[order[k]];
    new_ids[k] = ids[order[k]];
  }
  std::copy(new_counts.begin(), new_counts.end(), counts);
  std::copy(new_ids.begin(), new_ids.end(), ids);
}

}  // namespace ordering

void tricroissant(int* counts, int* ids, int n) {
  if (n < ordering::kExchangeLimit) {
    ordering::by_exchanges(counts, ids, n);
  } else {
    ordering::by_runs(counts, ids, n);
  }
}

}  // namespace keyword
