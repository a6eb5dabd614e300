#include "text/unrequested.h"

#include <cstdlib>

#include "keyword/ordering.h"
#include "keyword/unrequested.h"

namespace text {

void sort(const store::Store& store, output::Sink& sink, const std::function<int()>& next_answer_byte,
          int* counts, int* ids, int n) {
  if (n <= 0) return;
  keyword::tricroissant(counts, ids, n);
  for (int i = n - 1; i >= 0; --i) keyword::appelerDesId(store, sink, ids[i], next_answer_byte);
}

void AFFICHE_PILE_TAVREN(const PILE_TAVREN* pile, output::Sink& sink) {
  if (pile == nullptr) std::exit(1);
  for (const CELLULE_TAVREN* cell = pile->get(); cell != nullptr; cell = cell->suivant.get()) {
    sink.out(cell->chaine);
    sink.out("\n");
  }
}

}  // namespace text
