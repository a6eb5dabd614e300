// Every call the web server makes into the engine's requests: the
// indexation drivers, the keyword look-up and the rankers, each on the
// store it is given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/output.h"
#include "ranking/ranker.h"
#include "store/store.h"

namespace web::calls {

// The ranker of "texte", "image" or "son"; null while it is not built.
const ranking::Ranker* RankerFor(const std::string& medium);

// Rebuilds the base of one medium ("texte", "image" or "son"); the store
// lock is held exclusively by the caller. Returns the exit status.
int Index(const std::string& medium, const store::Store& store, output::Sink& sink);

struct WordHit {
  int64_t id = 0;
  std::string name;  // from the text list; empty when the list lacks the id
  int count = 0;
};

// The documents holding `word`, exactly, in the order `engine recherche`
// shows them (highest count first). False when the inverted index cannot be
// read (no indexation yet).
bool LookUpWord(const store::Store& store, std::string_view word, std::vector<WordHit>* hits);

}  // namespace web::calls
