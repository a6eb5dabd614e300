// The text side's key of the configuration file: the occurrence threshold.
#pragma once

#include <cstdint>
#include <string_view>

#include "store/store.h"

namespace text {

// Threshold used when the configuration holds no usable value.
inline constexpr int64_t kDefaultThreshold = 3;

// The occurrence threshold set by a configuration text: the integer prefix
// (as atol reads it) of the token right after the first "txt_nboccurrences:",
// or kDefaultThreshold when that key is absent or is the last token.
int64_t recupParamConfigTexte(std::string_view config);

// The threshold of the store's configuration file. Returns false when the
// file cannot be read (missing, unreadable, not a regular file); `threshold`
// is then the default.
bool readThreshold(const store::Store& store, int64_t* threshold);

}  // namespace text
