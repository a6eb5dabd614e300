// The text scratch space "../INDEXATION/temp_txt": a copy and the pure text of
// each document described, and the (empty) temporary table of the index build.
//
// A refresh leaves the space holding exactly the files of the documents it
// described. It gets there by overwriting the files already present in place
// and removing only those of documents gone from the corpus: unlinking and
// re-creating thousands of files costs far more than rewriting them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace text::scratch {

// Makes the scratch space ready for a refresh: "cpy/" and "pure_txts/" are
// directories, every other entry of "temp_txt" is removed, the temporary table
// is present and empty, and "../INDEXATION/table_index_texte_temp" exists.
// Problems are reported on standard error; returns false when the two
// directories could not be made.
bool rebuild();

// Removes from "cpy/" and "pure_txts/" every entry whose name is not in
// `names` (the documents just described).
void prune(const std::vector<std::string>& names);

// Makes the scratch directories that are missing (a query reuses those of the
// last refresh). Returns false, after a report, when they cannot be made.
bool ensure();

// Writes per-document files into "cpy/" and "pure_txts/" through directory
// descriptors opened once.
class Writer {
 public:
  Writer();
  ~Writer();
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  bool ready() const { return copies_ >= 0 && pure_ >= 0; }

  // Writes the copy and the pure text of document `name`; a file that cannot
  // be written adds one line to `problems`. Safe to call from several threads
  // for different names.
  void write(std::string_view name, std::string_view copy, std::string_view pure,
             std::vector<std::string>& problems) const;

 private:
  int copies_ = -1;
  int pure_ = -1;
};

}  // namespace text::scratch
