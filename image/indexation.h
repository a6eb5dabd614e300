// "indexation", image side: rebuilds the image list and the descriptor base
// from the colour corpus, then the grey corpus.
#pragma once

#include "common/output.h"
#include "store/store.h"

namespace image {

// Returns the request's exit status: 0 when the bases were rebuilt (images
// refused with a message included), 1 when they could not be written (the
// old bases are then left as they were).
int indexImage(const store::Store& store, output::Sink& sink);

}  // namespace image
