// "recherche MOT": the documents holding a word, highest count first.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/output.h"
#include "keyword/hits.h"
#include "store/store.h"

namespace keyword {

struct SearchResult {
  enum class Outcome {
    kIndexUnreadable,  // the inverted index cannot be read
    kNotFound,         // the word has no record
    kFound,
  };
  Outcome outcome = Outcome::kIndexUnreadable;
  bool list_readable = false;   // whether the text list could be read
  std::vector<Found> documents; // highest count first (the display order)
};

// Looks `word` up, exactly, in the store's inverted index and names its
// documents from the text list; no prompt, nothing printed.
SearchResult findDocuments(const store::Store& store, const std::string& word);

// The request: shows each document found with the offer to open it in the
// editor. The answers are the bytes `next_answer_byte` gives (-1 at the end
// of input). `loaded`, when given, is called once the index and the list
// have been read and before the first prompt (the launcher releases the
// store lock there). Returns the request's exit status.
int byword(const store::Store& store, output::Sink& sink, const std::string& word,
           const std::function<int()>& next_answer_byte, const std::function<void()>& loaded = nullptr);

}  // namespace keyword
