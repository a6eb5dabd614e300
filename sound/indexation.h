// "indexation" of the sound side: rebuilds the sound list and the descriptor
// base from the corpus listing, identifiers from 0 in listing order. Each
// returns the request's exit status: 0 when it was carried out, 1 when it
// could not be.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/output.h"
#include "sound/bounds.h"
#include "sound/ranking/landmarks.h"
#include "store/env.h"
#include "store/store.h"

namespace sound {

// The whole request: checks the base directory, then indexFiles.
int resetAndIndex(const store::Store& store, output::Sink& sink);

// Reads the parameters, describes every listed sound and replaces both base
// files together.
int indexFiles(const store::Store& store, output::Sink& sink);

// What the ranked search keeps of a sound: its length and its landmarks.
struct Fingerprint {
  uint64_t samples = 0;
  std::vector<sound_ranking::Landmark> landmarks;
  std::vector<uint8_t> envelope;
};

// The fingerprint of a sound's samples.
Fingerprint fingerprint_of(std::vector<float> samples);

// Describes the corpus sound `name` of `corpus` and appends its descriptor
// rows (without the identifier line) to `rows`, and, when `fingerprint` is
// given, fills it from the same read. On failure returns why.
store::Status setDescriptor(store::Directory& corpus, const Bounds& bounds, int32_t echantillons,
                            const std::string& name, std::string& rows, Fingerprint* fingerprint = nullptr);

}  // namespace sound
