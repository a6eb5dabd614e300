#include "sound/base.h"

#include <charconv>

#include "common/numbers.h"
#include "common/parallel.h"
#include "common/tokens.h"

namespace sound {

namespace {

constexpr std::string_view kId = "<id>";
constexpr std::string_view kIdEnd = "</id>";
constexpr std::string_view kRow = "<fenetre>";
constexpr std::string_view kRowEnd = "</fenetre>";

void append_int(std::string& out, int64_t v) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, v).ptr);
}

bool space_at(std::string_view text, size_t i) {
  return tokens::is_space(static_cast<unsigned char>(text[i]));
}

// Offset of the next "<id>" standing as a whole token at or after `from`, or
// text.size().
size_t next_id_mark(std::string_view text, size_t from) {
  for (size_t at = text.find(kId, from); at != std::string_view::npos;
       at = text.find(kId, at + 1)) {
    const size_t end = at + kId.size();
    if ((at == 0 || space_at(text, at - 1)) && (end == text.size() || space_at(text, end)))
      return at;
  }
  return text.size();
}

}  // namespace

void append_header(std::string& out, const Params& params) {
  append_int(out, params.echantillons);
  out += ' ';
  append_int(out, params.nbintervalles);
  out += '\n';
}

void append_id_line(std::string& out, int id) {
  out += "<id> ";
  append_int(out, id);
  out += " </id>\n";
}

void append_row(std::string& out, const int32_t* row, size_t cols) {
  out += "<fenetre> ";
  for (size_t c = 0; c < cols; ++c) {
    append_int(out, row[c]);
    out += ' ';
  }
  out += " </fenetre>\n";
}

void append_rows(std::string& out, const Matrix& m) {
  for (size_t r = 0; r < m.rows; ++r) append_row(out, m.row(r), m.cols);
}

DescriptorBase split_descriptor_base(std::string_view text) {
  DescriptorBase base;
  tokens::Reader reader(text);
  if (!reader.next(base.samples_token) || !reader.next(base.intervals_token)) return base;
  const int64_t e = numbers::leading_long(base.samples_token);
  const int64_t n = numbers::leading_long(base.intervals_token);
  if (!valid_samples(e) || !valid_intervals(n)) return base;
  base.header_ok = true;
  base.params.echantillons = static_cast<int32_t>(e);
  base.params.nbintervalles = static_cast<int32_t>(n);

  const size_t start = reader.position();
  size_t mark = next_id_mark(text, start);
  base.prelude = text.substr(start, mark - start);
  while (mark < text.size()) {
    const size_t body = mark + kId.size();
    mark = next_id_mark(text, body);
    base.bodies.push_back(text.substr(body, mark - body));
  }
  return base;
}

Shape getNbFenFromDesc(std::string_view body) {
  Shape s;
  tokens::Reader reader(body);
  std::string_view t;
  while (reader.next(t)) {
    if (t == kRow) {
      ++s.rows;
    } else if (t == kIdEnd || t == kRowEnd) {
      s.resets_column = true;
      s.trailing_counts = 0;
    } else {
      ++s.trailing_counts;
    }
  }
  return s;
}

Matrix read_descriptor(std::string_view body, size_t rows, int n, size_t column) {
  Matrix m = init_matrice(rows, n);
  tokens::Reader reader(body);
  std::string_view t;
  size_t r = 0;
  while (reader.next(t)) {
    if (t == kIdEnd) {
      column = 0;
    } else if (t == kRowEnd) {
      ++r;
      column = 0;
    } else if (t != kRow) {
      if (r < m.rows && column < m.cols) m.row(r)[column] = numbers::leading_int(t);
      ++column;
    }
  }
  return m;
}

std::vector<Matrix> read_descriptors(const DescriptorBase& base) {
  const size_t count = base.bodies.size();
  std::vector<Shape> shapes(count);
  parallel::for_each_index(count, [&](size_t d) { shapes[d] = getNbFenFromDesc(base.bodies[d]); });
  // The column carries over from one descriptor to the next ("<id>" does not
  // reset it); in a well-formed base it is 0 at every "<id>".
  std::vector<size_t> first_column(count);
  size_t column = column_after(getNbFenFromDesc(base.prelude), 0);
  for (size_t d = 0; d < count; ++d) {
    first_column[d] = column;
    column = column_after(shapes[d], column);
  }
  std::vector<Matrix> matrices(count);
  parallel::for_each_index(count, [&](size_t d) {
    matrices[d] = read_descriptor(base.bodies[d], shapes[d].rows, base.params.nbintervalles,
                                  first_column[d]);
  });
  return matrices;
}

}  // namespace sound
