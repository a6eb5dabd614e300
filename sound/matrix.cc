#include "sound/matrix.h"

namespace sound {

Matrix init_matrice(size_t rows, int n) {
  Matrix m;
  m.rows = rows;
  m.cols = static_cast<size_t>(n) + 1;
  m.cells.assign(rows * m.cols, 0);
  return m;
}

}  // namespace sound
