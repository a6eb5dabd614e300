// wordprobe's run: the text descriptor base under the probe root is read,
// probed for the word, the scratch file "temp.txt" is written beside it, and
// the probe's output printed.
#pragma once

#include "common/output.h"
#include "store/store.h"

namespace wordprobe {

// `store`'s working directory is the probe root (the directory holding
// EXTERN_FILES). A base that cannot be read gives no output at all; a
// scratch file that cannot be written gives one line on standard error.
// Returns the exit status: 0, or 1 after one line when memory ran out.
int run(const store::Store& store, output::Sink& sink);

}  // namespace wordprobe
