// The sound descriptor base, byte for byte:
//   "E n\n"                                   header, once
//   "<id> ID </id>\n"                         then per sound its identifier,
//   "<fenetre> c0 c1 ... cn  </fenetre>\n"    and one line per matrix row,
// each count followed by one blank, so the last is followed by two before the
// closing mark.
//
// Writing appends those bytes to a string. Reading is made of pure functions
// over the bytes, safe on any input: a truncated or garbled base gives odd
// counts, never a read or write outside a matrix.
//
// Reading rules, token by token after the two header values: "<id>" starts a
// new descriptor whose row count is its number of "<fenetre>" tokens; "</id>"
// sets the column back to 0; "</fenetre>" moves to the next row, column 0;
// "<fenetre>" does nothing; any other token is a count (its leading decimal
// integer) stored at the current row and column, and the column moves on. The
// identifier after "<id>" is thus stored at row 0 and overwritten by the first
// count. Counts that fall outside the matrix (more than n+1 in a row, more
// rows than "<fenetre>" marks, tokens before the first "<id>") are dropped but
// still move the column on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sound/matrix.h"
#include "sound/params.h"

namespace sound {

// ---- writing ---------------------------------------------------------------

void append_header(std::string& out, const Params& params);
void append_id_line(std::string& out, int id);
// One "<fenetre> ... </fenetre>\n" line of `cols` counts.
void append_row(std::string& out, const int32_t* row, size_t cols);
void append_rows(std::string& out, const Matrix& m);

// Fewest bytes `rows` rows of `cols` counts take once written: the two marks
// and at least two bytes ("d ") per count. Saturates at UINT64_MAX.
uint64_t rows_text_floor(uint64_t rows, size_t cols);
// Most bytes they take when no count exceeds `largest` (a row's counts add
// up to its samples, so E bounds them). Saturates at UINT64_MAX.
uint64_t rows_text_ceiling(uint64_t rows, size_t cols, uint64_t largest);

// ---- reading ---------------------------------------------------------------

struct DescriptorBase {
  // The header's two tokens and their values; header_ok when both are there
  // and in range.
  std::string_view samples_token, intervals_token;
  bool header_ok = false;
  Params params;
  std::string_view prelude;              // tokens between the header and the first "<id>"
  std::vector<std::string_view> bodies;  // per descriptor, what follows its "<id>"
};

DescriptorBase split_descriptor_base(std::string_view text);

// What a stretch of tokens does to the reading position.
struct Shape {
  size_t rows = 0;               // its "<fenetre>" tokens
  bool resets_column = false;    // it holds "</id>" or "</fenetre>"
  size_t trailing_counts = 0;    // counts after the last reset (all, without one)
};

// The row count of one descriptor body, and its effect on the column.
Shape getNbFenFromDesc(std::string_view body);

// The column after a stretch of shape `s` read from column `before`.
inline size_t column_after(const Shape& s, size_t before) {
  return s.resets_column ? s.trailing_counts : before + s.trailing_counts;
}

// One descriptor's matrix of `rows` rows, its first token read at `column`.
Matrix read_descriptor(std::string_view body, size_t rows, int n, size_t column);

// Whether a matrix of `rows` x `cols` counts may be made from a descriptor
// of `text_bytes` bytes. Counts need bytes in the file (a written row of
// n+1 counts takes more than 2(n+1) bytes), so a matrix far larger than its
// text can only come from a damaged base announcing rows it does not hold;
// past a small allowance such a base is refused rather than filled with
// zeros.
bool matrix_fits_text(size_t rows, size_t cols, size_t text_bytes);

// Where each descriptor's matrix comes from, so that they can be read one
// at a time.
struct DescriptorPlan {
  std::string_view body;
  size_t rows = 0;
  size_t first_column = 0;  // the column its first token is read at
};

struct BasePlan {
  std::vector<DescriptorPlan> descriptors;
  size_t max_rows = 0;  // the longest descriptor's rows
  // The first descriptor whose matrix would not fit its text (see
  // matrix_fits_text), or descriptors.size().
  size_t oversized = 0;
};

BasePlan plan_descriptors(const DescriptorBase& base);

}  // namespace sound
