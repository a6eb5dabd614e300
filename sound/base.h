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

// Every descriptor's matrix, in file order (read in parallel).
std::vector<Matrix> read_descriptors(const DescriptorBase& base);

}  // namespace sound
