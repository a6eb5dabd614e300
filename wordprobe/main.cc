// wordprobe: looks for the word "milliards" in the text descriptor base under
// the probe root (fixed at build time, or given with --root), and prints
// where it stands and the token that follows it.
#include <cstdio>
#include <string>
#include <vector>

#include "common/output.h"
#include "store/env.h"
#include "store/store.h"
#include "wordprobe/messages.h"
#include "wordprobe/options.h"
#include "wordprobe/wordprobe.h"

#ifndef WORDPROBE_ROOT
#error "WORDPROBE_ROOT must name the probe root"
#endif
#ifndef ENGINE_VERSION
#error "ENGINE_VERSION must be the project's version"
#endif

int main(int argc, char** argv) {
  output::StdSink sink("wordprobe");
  const wordprobe::Options options = wordprobe::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  switch (options.action) {
    case wordprobe::Options::Action::kHelp:
      sink.out(wordprobe::messages::kHelp);
      return 0;
    case wordprobe::Options::Action::kVersion:
      sink.out(std::string("wordprobe ") + ENGINE_VERSION + "\n");
      return 0;
    case wordprobe::Options::Action::kUsage:
      sink.err(wordprobe::messages::kUsage);
      return 2;
    case wordprobe::Options::Action::kProbe:
      break;
  }
  const store::Store store(store::Env::Default(), options.root.empty() ? WORDPROBE_ROOT : options.root);
  const int status = wordprobe::run(store, sink);
  std::fflush(stdout);
  return status;
}
