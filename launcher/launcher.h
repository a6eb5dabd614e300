// The request named by the command line, and its run on a data store: the
// store lock, the configuration file, then the medium's driver.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/output.h"
#include "ranking/options.h"
#include "store/lock.h"
#include "store/store.h"

namespace launcher {

enum class Kind { kUsage, kIndexation, kCompareText, kCompareSound, kCompareImage, kSearch, kRank };

struct Request {
  Kind kind = Kind::kUsage;
  std::string argument;  // query path, or searched word
  ranking::Options rank;  // kRank
  std::string error;      // kUsage: what was wrong, when known
};

// Reads the request words, compared exactly. Anything that names no request
// gives kUsage.
Request parse_request(int argc, const char* const* argv);

// The one usage line written on standard error for kUsage.
extern const char kUsageLine[];

// How a request locks `store`: the store root, the turnstile that keeps
// writers from starving, and the base directories to recover first.
store::LockPlan LockPlanFor(const store::Store& store, std::function<void()> on_wait = nullptr);

// Runs a request on `store` and returns its exit status (2 with the usage
// line for kUsage).
int run(const store::Store& store, output::Sink& sink, const Request& request);

// The whole command line of `engine` (the words after the program's name):
// --help / -h anywhere before "--", --version, "-C DIR" before the request
// word (the process then works in DIR), "init DIR", or a request run on the
// store of the working directory. Returns the exit status.
int Main(const std::vector<std::string>& words, output::Sink& sink);

}  // namespace launcher
