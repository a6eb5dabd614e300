// Operations of the text side that no request reaches, kept for a front-end.
#pragma once

#include <functional>

#include "common/output.h"
#include "store/store.h"
#include "text/pile_tavren.h"

namespace text {

// Orders the n pairs (counts[i], ids[i]) by ascending count as the keyword
// search does, then shows the documents from the highest count down, each
// with the offer to open it; the answers are the bytes `next_answer_byte`
// gives (-1 at the end of input).
void sort(const store::Store& store, output::Sink& sink, const std::function<int()>& next_answer_byte,
          int* counts, int* ids, int n);

// Writes every string followed by a line feed on standard output, top first;
// the stack is unchanged. A null handle address ends the process with exit
// status 1.
void AFFICHE_PILE_TAVREN(const PILE_TAVREN* pile, output::Sink& sink);

}  // namespace text
