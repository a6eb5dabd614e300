#include "wordprobe/options.h"

namespace wordprobe {

Options ParseOptions(const std::vector<std::string>& words) {
  Options o;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w == "--") break;
    if (w == "--help" || w == "-h") {
      o.action = Options::Action::kHelp;
      return o;
    }
    if (w == "--version" && o.action == Options::Action::kProbe) {
      o.action = Options::Action::kVersion;
    } else if (w == "--root") {
      if (i + 1 == words.size() || words[i + 1].empty()) {
        o.action = Options::Action::kUsage;
        return o;
      }
      o.root = words[++i];
    }
  }
  return o;
}

}  // namespace wordprobe
