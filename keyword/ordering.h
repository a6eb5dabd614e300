// Ordering of the documents found for a word by ascending count:
// tricroissant, and the two ways it is computed. Both give exactly the same
// result; the exchange loop is the definition, the run-based one reaches the
// same order in O(n log n) for words found in very many documents.
#pragma once

namespace keyword {

// Orders the n pairs (counts[i], ids[i]) by ascending count with the fixed
// exchange sequence that also fixes the order of equal counts.
void tricroissant(int* counts, int* ids, int n);

namespace ordering {

// The exchange sequence itself: O(n^2) comparisons.
void by_exchanges(int* counts, int* ids, int n);

// The same permutation computed from the structure of the exchanges.
void by_runs(int* counts, int* ids, int n);

// Below this size tricroissant runs the exchange loop itself.
inline constexpr int kExchangeLimit = 2048;

}  // namespace ordering

}  // namespace keyword
