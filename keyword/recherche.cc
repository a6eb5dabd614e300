#include "keyword/recherche.h"

#include "common/paths.h"
#include "keyword/document.h"
#include "keyword/index_reader.h"
#include "keyword/messages.h"

namespace keyword {

SearchResult findDocuments(const store::Store& store, const std::string& word) {
  SearchResult result;
  std::string index;
  if (!store.env().ReadFile(store.path(paths::kTextIndex), &index).ok()) return result;
  const Lookup lookup = find_word(index, word);
  if (!lookup.found) {
    result.outcome = SearchResult::Outcome::kNotFound;
    return result;
  }
  result.outcome = SearchResult::Outcome::kFound;
  LoadedList list;
  load_text_list(store, list);
  result.list_readable = list.readable;
  result.documents = displayOrder(lookup.hits, list.names);
  return result;
}

int byword(const store::Store& store, output::Sink& sink, const std::string& word,
           const std::function<int()>& next_answer_byte, const std::function<void()>& loaded) {
  const SearchResult result = findDocuments(store, word);
  if (loaded) loaded();
  switch (result.outcome) {
    case SearchResult::Outcome::kIndexUnreadable:
      sink.out(messages::kIndexProblem);
      sink.out(messages::kNotFound);
      return 1;
    case SearchResult::Outcome::kNotFound:
      sink.out(messages::kNotFound);
      return 0;
    case SearchResult::Outcome::kFound:
      break;
  }
  for (const Found& document : result.documents)
    show_document(store, sink, document, result.list_readable, next_answer_byte);
  return 0;
}

}  // namespace keyword
