// The text side's setting in the configuration file.
#pragma once

#include <cstdint>

namespace text {

// The occurrence threshold of the configuration file. Returns false when the
// file cannot be read; `threshold` is then the default.
bool readThreshold(int64_t* threshold);

// The line written on standard error for each document described while the
// configuration file cannot be read.
inline constexpr const char kConfigProblem[] = "ERREUR :  PB avec fonction recupParamConfigTexte\n";

}  // namespace text
