// French words too common to tell documents apart.
#pragma once

#include <string_view>

namespace textrank {

// True for a French stop word, given in small letters without accents ("été"
// as "ete", "à" as "a").
bool is_stop_word(std::string_view folded);

}  // namespace textrank
