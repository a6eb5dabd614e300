// The request named by the command line, the default configuration file, and
// the dispatch of a request to its medium.
#pragma once

#include <string>
#include <string_view>

namespace launcher {

enum class Kind { kUsage, kIndexation, kCompareText, kCompareSound, kCompareImage, kSearch };

struct Request {
  Kind kind = Kind::kUsage;
  std::string argument;  // query path, or searched word
};

// Reads the request words, compared exactly. Anything that names no request
// gives kUsage.
Request parse_request(int argc, const char* const* argv);

// The one usage line written on standard error for kUsage.
extern const char kUsageLine[];

// The default configuration, written when the file is missing.
extern const std::string_view kDefaultConfig;

// Creates the configuration file at `path` with the default content when no
// file is there, and prints the creation message. A file that exists is
// never touched. Returns false when the file was missing and could not be made
// (one line on standard error, no creation message).
bool ensure_config(const std::string& path);

// Runs a parsed request (not kUsage) and returns its exit status.
int run(const Request& request);

}  // namespace launcher
