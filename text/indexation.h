// "indexation", text side.
#pragma once

#include "common/output.h"
#include "store/store.h"

namespace text {

// Makes the scratch space again, registers every document of the corpus
// listing (identifiers from 1, in listing order), describes it, and replaces
// the text list, descriptor base and inverted index together. Returns the
// request's exit status: 0 when the text base was written, 1 when it could
// not be.
int rmThenStartIndexation(const store::Store& store, output::Sink& sink);

}  // namespace text
