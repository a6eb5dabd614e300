#include "sound/matrix.h"

#include <charconv>
#include <string>

namespace sound {

Matrix init_matrice(size_t rows, int n) {
  Matrix m;
  m.rows = rows;
  m.cols = static_cast<size_t>(n) + 1;
  m.cells.assign(rows * m.cols, 0);
  return m;
}

void free_matrice(Matrix& m) {
  m.rows = 0;
  m.cells.clear();
  m.cells.shrink_to_fit();
}

void affiche_matrice(const Matrix& m, std::FILE* out) {
  std::string line;
  char digits[16];
  for (size_t r = 0; r < m.rows; ++r) {
    line.clear();
    for (size_t c = 0; c < m.cols; ++c) {
      line.append(digits, std::to_chars(digits, digits + sizeof digits, m.at(r, c)).ptr);
      line += "  ";
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out);
  }
}

}  // namespace sound
