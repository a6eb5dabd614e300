// A generic stack of references: it holds what it is given and owns nothing,
// so the pushed objects stay their owner's to release.
#pragma once

#include <vector>

namespace image {

template <typename T>
struct PILE {
  std::vector<T*> elements;
};

template <typename T>
void INIT_PILE(PILE<T>* pile) {
  pile->elements.clear();
}

template <typename T>
void EMPILE(PILE<T>* pile, T* element) {
  pile->elements.push_back(element);
}

// Pops the most recently pushed reference into `*element`. The stack must not
// be empty.
template <typename T>
void DEPILE(PILE<T>* pile, T** element) {
  *element = pile->elements.back();
  pile->elements.pop_back();
}

template <typename T>
int PILE_EST_VIDE(const PILE<T>& pile) {
  return pile.elements.empty() ? 1 : 0;
}

}  // namespace image
