// The words of `wordprobe`: none for the probe of the root fixed at build
// time, "--root DIR" for another root, "--help" / "-h", "--version". Other
// words are ignored, as they always were.
#pragma once

#include <string>
#include <vector>

namespace wordprobe {

struct Options {
  enum class Action { kProbe, kHelp, kVersion, kUsage };
  Action action = Action::kProbe;
  std::string root;  // "" for the build-time root
};

Options ParseOptions(const std::vector<std::string>& words);

}  // namespace wordprobe
