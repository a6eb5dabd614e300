// "indexation" of the sound side: rebuilds the sound list and the descriptor
// base from the corpus listing, identifiers from 0 in listing order. Each
// returns the request's exit status: 0 when it was carried out, 1 when it
// could not be.
#pragma once

#include <cstdint>
#include <string>

#include "common/output.h"
#include "sound/bounds.h"
#include "store/env.h"
#include "store/store.h"

namespace sound {

// The whole request: checks the base directory, then indexFiles.
int resetAndIndex(const store::Store& store, output::Sink& sink);

// Reads the parameters, describes every listed sound and replaces both base
// files together.
int indexFiles(const store::Store& store, output::Sink& sink);

// Describes the corpus sound `name` of `corpus` and appends its descriptor
// rows (without the identifier line) to `rows`. On failure returns why.
store::Status setDescriptor(store::Directory& corpus, const Bounds& bounds, int32_t echantillons,
                            const std::string& name, std::string& rows);

}  // namespace sound
