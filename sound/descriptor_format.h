// Writing the sound descriptor base, byte for byte:
//   "E n\n"                                   header, once
//   "<id> ID </id>\n"                         then per sound its identifier,
//   "<fenetre> c0 c1 ... cn  </fenetre>\n"    and one line per matrix row,
// each count followed by one blank, so the last is followed by two before the
// closing mark.
#pragma once

#include <string>

#include "sound/matrix.h"
#include "sound/params.h"

namespace sound {

void append_header(std::string& out, const Params& params);
void append_id_line(std::string& out, int id);
void append_rows(std::string& out, const Matrix& m);

// One whole descriptor: the identifier line, then every row.
void write_in_desc(std::string& out, int id, const Matrix& m);

}  // namespace sound
