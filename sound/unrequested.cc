#include "sound/unrequested.h"

#include <charconv>

#include "common/parallel.h"
#include "sound/base.h"
#include "sound/report.h"
#include "sound/score.h"

namespace sound {

void affiche_matrice(const Matrix& m, output::Sink& sink) {
  std::string line;
  char digits[16];
  for (size_t r = 0; r < m.rows; ++r) {
    line.clear();
    for (size_t c = 0; c < m.cols; ++c) {
      line.append(digits, std::to_chars(digits, digits + sizeof digits, m.at(r, c)).ptr);
      line += "  ";
    }
    line += '\n';
    sink.out(line);
  }
}

void free_matrice(Matrix& m) {
  m.rows = 0;
  m.cells.clear();
  m.cells.shrink_to_fit();
}

void write_in_desc(std::string& out, int id, const Matrix& m) {
  append_id_line(out, id);
  append_rows(out, m);
}

std::vector<Matrix> read_descriptors(const DescriptorBase& base) {
  const BasePlan plan = plan_descriptors(base);
  std::vector<Matrix> matrices(plan.descriptors.size());
  parallel::for_each_index(matrices.size(), [&](size_t d) {
    const DescriptorPlan& p = plan.descriptors[d];
    matrices[d] = read_descriptor(p.body, p.rows, base.params.nbintervalles, p.first_column);
  });
  return matrices;
}

std::string compare_matrices(const Matrix& query, const Matrix& base, std::string_view name,
                             float step) {
  return format_report(slide(query, base), query.rows, name, step);
}

}  // namespace sound
