// The ranker of each medium, for the requests that rank (the command line's
// "classement" and the web server).
#pragma once

#include <string>

#include "ranking/ranker.h"

namespace launcher {

// The ranker of "texte", "image" or "son"; null for another word or a
// medium whose ranker is not built yet.
const ranking::Ranker* RankerFor(const std::string& medium);

}  // namespace launcher
