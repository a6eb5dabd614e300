// Entries of the text side used by the launcher. Each returns the request's
// exit status: 0 when it was carried out, 1 when it could not be.
#pragma once

#include <string>

namespace text {

// "indexation": rebuilds the text list, descriptor base and inverted index.
int rmThenStartIndexation();

// "comparaison texte PATH": lists the documents sharing words with the query.
int indexFileToCompare(const std::string& path);

}  // namespace text
