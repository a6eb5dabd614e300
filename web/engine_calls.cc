#include "web/engine_calls.h"

#include "common/paths.h"
#include "image/indexation.h"
#include "keyword/index_reader.h"
#include "keyword/keyword.h"
#include "keyword/list_reader.h"
#include "launcher/rankers.h"
#include "sound/indexation.h"
#include "text/text.h"

namespace web::calls {

const ranking::Ranker* RankerFor(const std::string& medium) { return launcher::RankerFor(medium); }

int Index(const std::string& medium, const store::Store& store, output::Sink& sink) {
  (void)store;
  (void)sink;
  if (medium == "texte") return text::rmThenStartIndexation();
  if (medium == "image") return image::indexImage(store, sink);
  if (medium == "son") return sound::resetAndIndex(store, sink);
  return 2;
}

bool LookUpWord(const store::Store& store, std::string_view word, std::vector<WordHit>* hits) {
  hits->clear();
  std::string index;
  if (!store.env().ReadFile(store.path(paths::kTextIndex), &index).ok()) return false;
  const keyword::Lookup lookup = keyword::find_word(index, word);
  if (!lookup.found || lookup.hits.empty()) return true;

  std::vector<int> counts, ids;
  for (const keyword::Hit& hit : lookup.hits) {
    counts.push_back(hit.count);
    ids.push_back(hit.id);
  }
  const int n = static_cast<int>(ids.size());
  keyword::tricroissant(counts.data(), ids.data(), n);

  std::string list;
  (void)store.env().ReadFile(store.path(paths::kTextList), &list);  // unreadable: no names
  const keyword::TextList names = keyword::read_text_list(list);
  for (int k = n - 1; k >= 0; --k) {
    WordHit hit;
    hit.id = ids[k];
    hit.count = counts[k];
    const auto entry = names.find(std::to_string(ids[k]));
    if (entry != names.end()) hit.name = std::string(entry->second);
    hits->push_back(std::move(hit));
  }
  return true;
}

}  // namespace web::calls
