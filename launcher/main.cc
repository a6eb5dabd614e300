// engine: one request per run, named by the command-line words.
#include <clocale>
#include <cstdio>

#include "common/paths.h"
#include "common/store_lock.h"
#include "launcher/launcher.h"

int main(int argc, char** argv) {
  // Only the collation order follows the environment (corpus listings sort as
  // `ls` does); numbers always print in the C locale.
  std::setlocale(LC_COLLATE, "");

  const launcher::Request request = launcher::parse_request(argc, argv);
  if (request.kind == launcher::Kind::kUsage) {
    std::fputs(launcher::kUsageLine, stderr);
    return 2;
  }
  store_lock::Lock lock(paths::kExternRoot);
  launcher::ensure_config(paths::kConfig);
  const int status = launcher::run(request);
  std::fflush(stdout);
  return status;
}
