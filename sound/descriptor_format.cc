#include "sound/descriptor_format.h"

#include <charconv>

namespace sound {

namespace {

void append_int(std::string& out, int64_t v) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, v).ptr);
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

void append_rows(std::string& out, const Matrix& m) {
  for (size_t r = 0; r < m.rows; ++r) {
    out += "<fenetre> ";
    const int32_t* row = m.row(r);
    for (size_t c = 0; c < m.cols; ++c) {
      append_int(out, row[c]);
      out += ' ';
    }
    out += " </fenetre>\n";
  }
}

void write_in_desc(std::string& out, int id, const Matrix& m) {
  append_id_line(out, id);
  append_rows(out, m);
}

}  // namespace sound
