// Operations of the sound side that no request reaches, kept as part of the
// module's interface: diagnostics and one-call forms of the steps the
// requests run separately.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/output.h"
#include "sound/base.h"
#include "sound/bounds.h"
#include "sound/matrix.h"

namespace sound {

// Diagnostic dump on standard output: every count as "%d" followed by two
// blanks, a line feed after each row.
void affiche_matrice(const Matrix& m, output::Sink& sink);

// Releases the counts; the matrix is left empty.
void free_matrice(Matrix& m);

// Free-function form of Bounds::checkInterval.
inline int checkInterval(double x, const Bounds& bounds) { return bounds.checkInterval(x); }

// One whole descriptor: the identifier line, then every row.
void write_in_desc(std::string& out, int id, const Matrix& m);

// Every descriptor's matrix at once, in file order (read in parallel). A
// comparison reads them one batch at a time instead.
std::vector<Matrix> read_descriptors(const DescriptorBase& base);

// slide and format_report together.
std::string compare_matrices(const Matrix& query, const Matrix& base, std::string_view name,
                             float step);

}  // namespace sound
