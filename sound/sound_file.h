// Reading a sound file once, in chunks, into its histogram matrix.
#pragma once

#include <string>

#include "sound/bounds.h"
#include "sound/matrix.h"

namespace sound {

// Describes the sound at `path` into `out`. Returns false, with `out`
// untouched, when the file cannot be opened or read (a directory included).
bool getMatriceFromFile(const Bounds& bounds, int32_t echantillons, const std::string& path,
                        Matrix& out);

}  // namespace sound
