// The HTTP server: the routes of the API and the page over a Service, bound
// to one address, until SIGINT or SIGTERM.
#pragma once

#include <string>

#include "common/output.h"
#include "web/service.h"

namespace web {

struct ServerOptions {
  std::string host = "127.0.0.1";
  int port = 8080;  // 0: any free port
};

// Binds, prints the URL served as one line on the sink's standard output,
// and serves until SIGINT or SIGTERM. Must be called before any other
// thread is started (it blocks those signals in every thread). Returns the
// exit status.
int Serve(const Service& service, const ServerOptions& options, output::Sink& sink);

}  // namespace web
