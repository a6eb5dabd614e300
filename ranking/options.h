// The words of a ranked search:
//   classement texte|image|son PATH [--max N] [--json]
// Options may stand before or after PATH; "--" ends them; PATH "-" is
// standard input.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ranking {

// Results shown when no maximum is given, here and by the page's API.
inline constexpr size_t kDefaultMax = 10;

struct Options {
  std::string medium;  // "texte", "image" or "son"
  std::string path;    // as given; "-" for standard input
  size_t max = kDefaultMax;  // results shown; 0 for all
  bool json = false;
};

// Parses the words that follow "classement". False, with the reason in
// `error`, when they do not make a ranked search.
bool ParseOptions(const std::vector<std::string>& words, Options* options, std::string* error);

}  // namespace ranking
