// Whether two words differ by no more than a typo or two.
#pragma once

#include <cstddef>
#include <string_view>

namespace textrank {

// Typos allowed between words of these lengths: none when both are shorter
// than two bytes, two when both have eight bytes or more, else one.
inline size_t typos_allowed(size_t la, size_t lb) {
  if (la < 2 && lb < 2) return 0;
  return la >= 8 && lb >= 8 ? 2 : 1;
}

// Whether a (given as a1 followed by a2, so two words glued together can be
// compared without copying) and b are at most typos_allowed() edits apart:
// a byte inserted, deleted or replaced, or two neighbouring bytes swapped
// (optimal string alignment distance).
bool within_typos(std::string_view a1, std::string_view a2, std::string_view b);

}  // namespace textrank
