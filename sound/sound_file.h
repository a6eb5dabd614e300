// Reading a sound file once, in chunks, into its histogram matrix.
#pragma once

#include <memory>
#include <string>

#include "sound/bounds.h"
#include "sound/matrix.h"
#include "store/env.h"

namespace sound {

// Describes the opened sound `file` into `out`, reading it to its end. On a
// read error returns its status, `out` untouched.
store::Status describe_file(store::SequentialFile& file, const Bounds& bounds,
                            int32_t echantillons, Matrix& out);

// Describes the sound at `path` (opened through `env`, a regular file only)
// into `out`. On failure returns why, `out` untouched.
store::Status getMatriceFromFile(store::Env& env, const std::string& path, const Bounds& bounds,
                                 int32_t echantillons, Matrix& out);

}  // namespace sound
