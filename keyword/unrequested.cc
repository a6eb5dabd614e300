#include "keyword/unrequested.h"

#include "keyword/document.h"
#include "keyword/hits.h"

namespace keyword {

void appelerDesId(const store::Store& store, output::Sink& sink, int id,
                  const std::function<int()>& next_answer_byte) {
  LoadedList list;
  load_text_list(store, list);
  show_document(store, sink, named(id, list.names), list.readable, next_answer_byte);
}

}  // namespace keyword
