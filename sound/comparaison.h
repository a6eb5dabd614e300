// "comparaison son PATH": where the query sound occurs in the indexed sounds.
#pragma once

#include <string>

#include "common/output.h"
#include "store/store.h"

namespace sound {

// Prints "Requête : PATH", then the report of every indexed sound in which
// the query is found, in base order. Returns 0 when the request was carried
// out, 1 when the query or the descriptor base cannot be used (one line on
// standard error).
int compare(const store::Store& store, output::Sink& sink, const std::string& path);

}  // namespace sound
