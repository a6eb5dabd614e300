// The documents found for a word in the order the search shows them, named
// from the text list. Pure functions over what the readers give.
#pragma once

#include <string>
#include <vector>

#include "keyword/index_reader.h"
#include "keyword/list_reader.h"

namespace keyword {

// One document found for a word.
struct Found {
  int id = 0;
  int count = 0;      // the word's count in the document
  bool named = false; // whether the text list names the document
  std::string name;   // its file name, when named
};

// The hits of a word highest count first, equal counts in the order
// tricroissant leaves them (the display order of "recherche"), each named
// from `list` when the list holds its identifier.
std::vector<Found> displayOrder(const std::vector<Hit>& hits, const TextList& list);

// The entry of document `id` alone, named from `list`.
Found named(int id, const TextList& list);

}  // namespace keyword
