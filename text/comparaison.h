// "comparaison texte PATH".
#pragma once

#include <string>

#include "common/output.h"
#include "store/store.h"

namespace text {

// Describes the query as a document would be described and lists the
// documents sharing two words or more with it, last-registered first.
// Returns the request's exit status: 0 when it was carried out, 1 when the
// query or the descriptor base could not be read.
int indexFileToCompare(const store::Store& store, output::Sink& sink, const std::string& path);

}  // namespace text
