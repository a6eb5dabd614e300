// engine: one request per run, named by the command-line words.
#include <clocale>
#include <cstdio>
#include <new>

#include "common/fileio.h"
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
  int status = 1;
  try {
    status = launcher::run(request);
  } catch (const std::bad_alloc&) {
    // Data that cannot fit in memory (a base edited to announce enormous
    // descriptors, say) ends the request with one line, not a crash; every
    // base is written whole or not at all, so none is left half-done.
    fileio::report("mémoire insuffisante : requête abandonnée");
    status = 1;
  }
  std::fflush(stdout);
  return status;
}
