// Showing one document found by a search, with the offer to open it.
#pragma once

#include <functional>
#include <string>

#include "common/output.h"
#include "keyword/hits.h"
#include "keyword/list_reader.h"
#include "store/store.h"

namespace keyword {

// The text list as read once for a whole search.
struct LoadedList {
  LoadedList() = default;
  LoadedList(const LoadedList&) = delete;  // `names` points into `bytes`
  LoadedList& operator=(const LoadedList&) = delete;

  bool readable = false;
  std::string bytes;
  TextList names;  // views into `bytes`
};

// Reads the text list of the store (readable = false when it cannot be read).
void load_text_list(const store::Store& store, LoadedList& list);

// Prints the document's file name and the prompt, asking until the answer
// is 1 or 0, and starts the editor on the answer 1. Each answer is the next
// byte from `next_answer_byte` that is not white space, so the end of line of
// an earlier answer is passed over; the end of input (-1) counts as 0. A
// document the list does not name gets one line instead, and so does every
// document when the list could not be read (`list_readable` false).
void show_document(const store::Store& store, output::Sink& sink, const Found& document, bool list_readable,
                   const std::function<int()>& next_answer_byte);

}  // namespace keyword
