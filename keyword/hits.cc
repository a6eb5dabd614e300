#include "keyword/hits.h"

#include "keyword/ordering.h"
#include "keyword/tostring.h"

namespace keyword {

Found named(int id, const TextList& list) {
  Found f;
  f.id = id;
  const auto entry = list.find(tostring(id));
  if (entry != list.end()) {
    f.named = true;
    f.name = std::string(entry->second);
  }
  return f;
}

std::vector<Found> displayOrder(const std::vector<Hit>& hits, const TextList& list) {
  std::vector<int> counts, ids;
  counts.reserve(hits.size());
  ids.reserve(hits.size());
  for (const Hit& hit : hits) {
    counts.push_back(hit.count);
    ids.push_back(hit.id);
  }
  const int n = static_cast<int>(ids.size());
  tricroissant(counts.data(), ids.data(), n);

  std::vector<Found> found;
  found.reserve(hits.size());
  for (int k = n - 1; k >= 0; --k) {
    found.push_back(named(ids[k], list));
    found.back().count = counts[k];
  }
  return found;
}

}  // namespace keyword
