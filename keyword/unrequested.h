// Operations of the keyword search that no request reaches, kept for a
// front-end.
#pragma once

#include <functional>

#include "common/output.h"
#include "store/store.h"

namespace keyword {

// Prints the file name of document `id` from the text list and offers to
// open it in the editor, the answers coming from `next_answer_byte` (-1 at
// the end of input).
void appelerDesId(const store::Store& store, output::Sink& sink, int id,
                  const std::function<int()>& next_answer_byte);

}  // namespace keyword
