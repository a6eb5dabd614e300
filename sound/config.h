// The sound side's configuration keys: E ("echantillons:") and n
// ("nbintervalles:").
#pragma once

#include <string>
#include <string_view>

#include "common/output.h"
#include "sound/params.h"
#include "store/store.h"

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

// Reads the store's configuration file into `params` and prints the scan's
// lines, or config::kUnreadable when the file cannot be read (missing,
// unreadable, not a regular file), params then unchanged.
void init_valuesw(const store::Store& store, output::Sink& sink, Params& params);

}  // namespace sound
