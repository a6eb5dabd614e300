#include "text/pile_tavren.h"

#include <cstdlib>
#include <new>

namespace text {

CELLULE_TAVREN::~CELLULE_TAVREN() {
  std::unique_ptr<CELLULE_TAVREN> below = std::move(suivant);
  while (below) below = std::move(below->suivant);
}

void INIT_PILE_TAVREN(PILE_TAVREN* pile) {
  if (pile != nullptr) pile->reset();
}

int PILE_TAVREN_EST_VIDE(const PILE_TAVREN* pile) {
  return pile == nullptr || *pile == nullptr ? 1 : 0;
}

void EMPILE_TAVREN(PILE_TAVREN* pile, std::string_view chaine) {
  if (pile == nullptr) std::exit(1);
  try {
    auto cell = std::make_unique<CELLULE_TAVREN>();
    cell->chaine.assign(chaine.data(), chaine.size());
    cell->suivant = std::move(*pile);
    *pile = std::move(cell);
  } catch (const std::bad_alloc&) {
    std::exit(1);
  }
}

std::optional<std::string> DEPILE_TAVREN(PILE_TAVREN* pile) {
  if (PILE_TAVREN_EST_VIDE(pile)) return std::nullopt;
  PILE_TAVREN top = std::move(*pile);
  *pile = std::move(top->suivant);
  return std::move(top->chaine);
}

}  // namespace text
