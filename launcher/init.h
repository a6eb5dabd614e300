// "init DIR": makes the skeleton of a data store at DIR, keeping whatever
// already stands there.
#pragma once

#include <string>

#include "common/output.h"
#include "store/env.h"

namespace launcher {

// Creates DIR (and its missing parents), the corpus and base directories,
// the scratch space, "work/" and the default configuration file; never
// overwrites or removes anything. Prints what it made and the next
// commands; returns 0, or 1 after one line saying what failed.
int Init(store::Env& env, output::Sink& sink, const std::string& dir);

}  // namespace launcher
