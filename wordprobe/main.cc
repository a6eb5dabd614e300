// wordprobe: looks for the word "milliards" in the text descriptor base under
// the probe root fixed at build time, and prints where it stands and the
// token that follows it. No arguments, no input; exit status 0.
#include <cstdio>

#include "common/output.h"
#include "store/env.h"
#include "store/store.h"
#include "wordprobe/wordprobe.h"

#ifndef WORDPROBE_ROOT
#error "WORDPROBE_ROOT must name the probe root"
#endif

int main() {
  output::StdSink sink("wordprobe");
  const store::Store store(store::Env::Default(), WORDPROBE_ROOT);
  const int status = wordprobe::run(store, sink);
  std::fflush(stdout);
  return status;
}
