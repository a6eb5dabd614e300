// engine: one request per run, named by the command-line words.
#include <cstdio>
#include <string>
#include <vector>

#include "common/output.h"
#include "launcher/launcher.h"

int main(int argc, char** argv) {
  output::StdSink sink;
  const int status = launcher::Main(std::vector<std::string>(argv + 1, argv + argc), sink);
  std::fflush(stdout);
  return status;
}
