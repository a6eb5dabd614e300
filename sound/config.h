// Reading E and n from the configuration file.
#pragma once

#include <string>
#include <string_view>

#include "sound/params.h"

namespace sound {

// Scans configuration text for "echantillons:" and "nbintervalles:" and sets
// `params` from their values. Returns the lines to print on standard output for
// values that were refused (empty when every value was taken).
//
// The scan keeps a quirk that existing configuration files may rely on: the
// value token read after "echantillons:" is then itself tested as the key
// "nbintervalles:", and a key that is the last token takes itself as its value
// (which reads as 0).
std::string scan_config(std::string_view text, Params& params);

// Reads the configuration file into `params` and prints the scan's lines, or
// the fallback message when the file cannot be read (params then unchanged).
void init_valuesw(Params& params);

}  // namespace sound
