#include "sound/base.h"

#include <algorithm>
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

namespace {

uint64_t saturating_mul(uint64_t a, uint64_t b) {
  uint64_t product;
  return __builtin_mul_overflow(a, b, &product) ? UINT64_MAX : product;
}

uint64_t saturating_add(uint64_t a, uint64_t b) {
  uint64_t sum;
  return __builtin_add_overflow(a, b, &sum) ? UINT64_MAX : sum;
}

constexpr uint64_t kRowMarks = sizeof("<fenetre> ") - 1 + sizeof(" </fenetre>\n") - 1;

uint64_t digits(uint64_t v) {
  uint64_t d = 1;
  for (; v >= 10; v /= 10) ++d;
  return d;
}

// Cells any descriptor may have whatever its length: room for hand-written
// bases with short rows.
constexpr size_t kAllowanceCells = size_t{1} << 20;

}  // namespace

uint64_t rows_text_floor(uint64_t rows, size_t cols) {
  return saturating_mul(rows, saturating_add(kRowMarks, saturating_mul(2, cols)));
}

uint64_t rows_text_ceiling(uint64_t rows, size_t cols, uint64_t largest) {
  return saturating_mul(rows,
                        saturating_add(kRowMarks, saturating_mul(digits(largest) + 1, cols)));
}

bool matrix_fits_text(size_t rows, size_t cols, size_t text_bytes) {
  // rows x cols <= allowance + text bytes, without overflow.
  return cols > 0 && rows <= (kAllowanceCells + text_bytes) / cols;
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

BasePlan plan_descriptors(const DescriptorBase& base) {
  BasePlan plan;
  const size_t count = base.bodies.size();
  std::vector<Shape> shapes(count);
  parallel::for_each_index(count, [&](size_t d) { shapes[d] = getNbFenFromDesc(base.bodies[d]); });
  // The column carries over from one descriptor to the next ("<id>" does not
  // reset it); in a well-formed base it is 0 at every "<id>".
  const size_t cols = static_cast<size_t>(base.params.nbintervalles) + 1;
  plan.descriptors.resize(count);
  plan.oversized = count;
  size_t column = column_after(getNbFenFromDesc(base.prelude), 0);
  for (size_t d = 0; d < count; ++d) {
    DescriptorPlan& p = plan.descriptors[d];
    p.body = base.bodies[d];
    p.rows = shapes[d].rows;
    p.first_column = column;
    column = column_after(shapes[d], column);
    plan.max_rows = std::max(plan.max_rows, p.rows);
    if (plan.oversized == count && !matrix_fits_text(p.rows, cols, p.body.size()))
      plan.oversized = d;
  }
  return plan;
}

}  // namespace sound
