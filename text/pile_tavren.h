// PILE_TAVREN: a last-in, first-out stack of owned strings, kept as a singly
// linked chain of cells. The comparison pushes one string per descriptor
// record in file order and pops them in reverse order.
//
// The handle is the owning pointer to the top cell (null when the stack is
// empty); callers keep it in a variable of their own and pass its address.
// Each cell owns its copy of the pushed string; a pop moves that copy out to
// the caller.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace text {

struct CELLULE_TAVREN {
  std::string chaine;                       // this cell's own copy
  std::unique_ptr<CELLULE_TAVREN> suivant;  // the cell below; null at the bottom

  CELLULE_TAVREN() = default;
  CELLULE_TAVREN(const CELLULE_TAVREN&) = delete;
  CELLULE_TAVREN& operator=(const CELLULE_TAVREN&) = delete;
  // Unlinks the cells below one at a time, so a long chain is freed without
  // one nested destructor call per cell.
  ~CELLULE_TAVREN();
};

using PILE_TAVREN = std::unique_ptr<CELLULE_TAVREN>;

// Makes the stack empty (any cells still on it are freed).
void INIT_PILE_TAVREN(PILE_TAVREN* pile);

// 1 when the stack is empty, 0 otherwise.
int PILE_TAVREN_EST_VIDE(const PILE_TAVREN* pile);

// Puts a copy of `chaine` on top. A null handle address, or memory running
// out, ends the process with exit status 1 and no message.
void EMPILE_TAVREN(PILE_TAVREN* pile, std::string_view chaine);

// Removes the top cell and hands its string to the caller; nullopt (and no
// change) when the stack is empty.
std::optional<std::string> DEPILE_TAVREN(PILE_TAVREN* pile);

}  // namespace text
