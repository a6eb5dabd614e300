// The command line of engine-web:
//   engine-web [-C WORKDIR] [--host 127.0.0.1] [--port 8080]
// moves into the store's work/ (one store per process), then serves it.
#pragma once

#include <string>
#include <vector>

#include "common/output.h"
#include "web/service.h"

namespace web {

// Runs the server with the words after the program's name; `rankers` gives
// the ranked searches. Returns the exit status (2 for bad words).
int Main(const std::vector<std::string>& words, output::Sink& sink, const RankerLookup& rankers);

}  // namespace web
