// The text scratch space "../INDEXATION/temp_txt": a copy and the pure text of
// each document described, and the (empty) temporary table of the index build.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace text::scratch {

// Removes the scratch space and makes it again: "cpy/", "pure_txts/" and the
// empty temporary table; also creates "../INDEXATION/table_index_texte_temp"
// when missing. Problems are reported on standard error; returns false when
// the two directories could not be made.
bool rebuild();

// Makes the scratch directories that are missing (a query reuses those of the
// last refresh). Returns false, after a report, when they cannot be made.
bool ensure();

// Writes per-document files into "cpy/" and "pure_txts/" through directory
// descriptors opened once, so each file costs one open, write and close.
class Writer {
 public:
  Writer();
  ~Writer();
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  bool ready() const { return copies_ >= 0 && pure_ >= 0; }

  // Writes the copy and the pure text of document `name`; a file that cannot
  // be written adds one line to `problems`. Safe to call from several threads.
  void write(std::string_view name, std::string_view copy, std::string_view pure,
             std::vector<std::string>& problems) const;

 private:
  int copies_ = -1;
  int pure_ = -1;
};

}  // namespace text::scratch
