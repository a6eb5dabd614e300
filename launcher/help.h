// The texts of `engine --help` and `engine --version`.
#pragma once

#include <string>

namespace launcher {

// The whole help, for standard output.
std::string HelpText();

// "engine VERSION\n", the version being the project's.
std::string VersionText();

}  // namespace launcher
