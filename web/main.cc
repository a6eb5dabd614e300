// engine-web: the search page and its JSON API over one data store.
#include <string>
#include <vector>

#include "common/output.h"
#include "web/cli.h"
#include "web/engine_calls.h"

int main(int argc, char** argv) {
  output::StdSink sink("engine-web");
  return web::Main(std::vector<std::string>(argv + 1, argv + argc), sink, web::calls::RankerFor);
}
