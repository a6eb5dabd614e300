// engine: one request per run, named by the command-line words.
#include <locale.h>

#include <cstdio>

#include "common/output.h"
#include "launcher/launcher.h"
#include "store/env.h"
#include "store/store.h"

int main(int argc, char** argv) {
  output::StdSink sink;
  // Corpus listings sort as `ls` does under the environment's LC_COLLATE;
  // nothing else follows the locale (numbers always print in the C locale).
  const locale_t collation = ::newlocale(LC_COLLATE_MASK, "", nullptr);
  const store::Store store(store::Env::Default(), "", collation);
  const int status = launcher::run(store, sink, launcher::parse_request(argc, argv));
  std::fflush(stdout);
  return status;
}
