// Entries of the text side used by the launcher. Each returns the request's
// exit status: 0 when it was carried out, 1 when it could not be.
#pragma once

#include <string>

namespace text {

// "indexation": rebuilds the text list, descriptor base and inverted index.
int rmThenStartIndexation();

// "comparaison texte PATH": lists the documents sharing words with the query.
int indexFileToCompare(const std::string& path);

// Orders the n pairs (counts[i], ids[i]) by ascending count as the keyword
// search does, then shows the documents from the highest count down, each with
// the offer to open it. No request reaches it; it is kept for a front-end.
void sort(int* counts, int* ids, int n);

}  // namespace text
