// The image side's keys of the configuration file: the bits kept by the two
// quantisations.
#pragma once

#include <string>
#include <string_view>

#include "common/output.h"
#include "image/image_file.h"
#include "store/store.h"

namespace image {

// Scans the configuration text word by word. "NbBit_NB:" takes the next word's
// leading decimal value when it is 1 to 7, "NbBit_RGB:" when it is 1 to 5;
// any other value appends the key's message to `messages` and keeps the count.
// The two keys are tested in this order on each word, so the value word read
// after "NbBit_NB:" is itself then tested as "NbBit_RGB:". A key met several
// times is applied each time; a missing key leaves its count unchanged.
ParamBits init_values(std::string_view config, ParamBits bits, std::string& messages);

// Reads the store's configuration file and applies the scan above, printing
// the messages on standard output; when the file cannot be read (missing,
// unreadable, not a regular file), prints the fallback message and returns
// `bits` unchanged.
ParamBits init_values_file(const store::Store& store, output::Sink& sink, ParamBits bits);

}  // namespace image
