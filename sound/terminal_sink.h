// A sink whose standard output is a terminal, for the unit tests of names
// shown to a person.
#pragma once

#include "common/output.h"

namespace sound::testing {

class TerminalSink : public output::StringSink {
 public:
  bool out_is_terminal() const override { return true; }
};

}  // namespace sound::testing
