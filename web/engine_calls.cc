#include "web/engine_calls.h"

#include "common/paths.h"
#include "image/indexation.h"
#include "keyword/recherche.h"
#include "launcher/rankers.h"
#include "sound/indexation.h"
#include "text/indexation.h"

namespace web::calls {

const ranking::Ranker* RankerFor(const std::string& medium) { return launcher::RankerFor(medium); }

int Index(const std::string& medium, const store::Store& store, output::Sink& sink) {
  if (medium == "texte") return text::rmThenStartIndexation(store, sink);
  if (medium == "image") return image::indexImage(store, sink);
  if (medium == "son") return sound::resetAndIndex(store, sink);
  return 2;
}

bool LookUpWord(const store::Store& store, std::string_view word, std::vector<WordHit>* hits) {
  hits->clear();
  const keyword::SearchResult found = keyword::findDocuments(store, std::string(word));
  if (found.outcome == keyword::SearchResult::Outcome::kIndexUnreadable) return false;
  for (const keyword::Found& d : found.documents) hits->push_back({d.id, d.named ? d.name : "", d.count});
  return true;
}

}  // namespace web::calls
