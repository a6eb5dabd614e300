// Entry of the keyword search used by the launcher.
#pragma once

#include <string>

namespace keyword {

// "recherche MOT": shows the documents holding the word, highest count first,
// offering to open each. Returns the request's exit status.
int byword(const std::string& word);

}  // namespace keyword
