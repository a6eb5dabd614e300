// Showing one document found by a search, with the offer to open it.
#pragma once

#include <string>

#include "keyword/list_reader.h"

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
void load_text_list(LoadedList& list);

// Prints the document's file name and the prompt, and starts the editor on
// the answer 1. An identifier the list does not hold gets one line instead.
void show_document(int id, const LoadedList& list);

}  // namespace keyword
