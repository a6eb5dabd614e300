// The text scratch space "../INDEXATION/temp_txt": a copy and the pure text
// of each document described ("cpy/" and "pure_txts/"), and the (empty)
// temporary tables of the index build.
//
// Everything here is our own: the directories are opened as own directories
// and every file is written or removed through their handles, so a link
// planted where one of them belongs is replaced, never followed.
//
// A refresh leaves the space holding exactly the files of the documents it
// described. It gets there by overwriting the files already present in place
// and removing only those of documents gone from the corpus: unlinking and
// re-creating thousands of files costs far more than rewriting them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/output.h"
#include "store/env.h"
#include "store/store.h"

namespace text::scratch {

// The bare name of a query path, which its scratch files take: its last
// non-empty piece between "/"s; empty when it has none ("" or "/").
std::string_view bareName(std::string_view path);

// The permission bits of the scratch files of a source: its own, at most
// read and write (never execution, never wider than the source). A source
// that cannot be examined gives the owner's read and write only.
uint32_t copyMode(store::Directory& dir, const std::string& name);
uint32_t copyMode(store::Env& env, const std::string& path);

struct Space {
  std::unique_ptr<store::Directory> copies;  // "cpy/"
  std::unique_ptr<store::Directory> pure;    // "pure_txts/"
  bool ready() const { return copies != nullptr && pure != nullptr; }
};

// Makes the space ready for a refresh: "cpy/" and "pure_txts/" are
// directories of ours, every other entry of "temp_txt" is removed, the
// temporary table is present and empty, and
// "../INDEXATION/table_index_texte_temp" exists. Problems are reported on
// standard error; `space` is not ready when the directories could not be made.
void rebuild(const store::Store& store, output::Sink& sink, Space* space);

// Opens the scratch directories, making those that are missing (a query
// reuses those of the last refresh). Not ready, after a report, when they
// cannot be made.
void ensure(const store::Store& store, output::Sink& sink, Space* space);

// Removes from "cpy/" and "pure_txts/" every entry whose name is not in
// `names` (the documents just described).
void prune(const Space& space, const std::vector<std::string>& names, output::Sink& sink);

// Writes the copy and the pure text of document `name` with permission bits
// `mode` (an older file with wider bits is narrowed); a file that cannot be
// written adds one line to `problems`. Safe to call from several threads for
// different names.
void write(const Space& space, std::string_view name, std::string_view copy, std::string_view pure,
           uint32_t mode, std::vector<std::string>& problems);

}  // namespace text::scratch
