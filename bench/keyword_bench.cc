// Ordering time of tricroissant for a word found in many documents, against
// the plain exchange loop, on counts with many ties (as real counts have).
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "keyword/ordering.h"
#include "keyword/ordering.h"

namespace {

double seconds_for(void (*order)(int*, int*, int), std::vector<int> counts, std::vector<int> ids) {
  const auto begin = std::chrono::steady_clock::now();
  order(counts.data(), ids.data(), static_cast<int>(counts.size()));
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

}  // namespace

int main() {
  std::mt19937 rng(1);
  std::uniform_int_distribution<int> count(1, 20);
  for (int n : {2000, 20000, 100000, 1000000}) {
    std::vector<int> counts(n), ids(n);
    for (int i = 0; i < n; ++i) {
      counts[i] = count(rng);
      ids[i] = i + 1;
    }
    const double fast = seconds_for(keyword::ordering::by_runs, counts, ids);
    std::printf("tricroissant n=%d: run-based %.4f s", n, fast);
    if (n <= 100000) {
      const double slow = seconds_for(keyword::ordering::by_exchanges, counts, ids);
      std::printf(", exchange loop %.4f s", slow);
    }
    std::printf("\n");
  }
  return 0;
}
