// Crash-safe replacement of a group of files. Each file is first written in
// full beside its final name (a hidden ".NAME.new" in the same directory) and
// flushed to disk; only when every file of the group is complete are they
// renamed into place, one after the other. An interrupted run therefore leaves
// each file either as it was or complete.
#pragma once

#include <string>
#include <vector>

namespace atomic_write {

struct File {
  std::string path;     // final path
  std::string content;  // whole new content
};

// Returns true when every file was replaced. On failure nothing of the group
// has been renamed unless the failure came during the renames themselves;
// `error` names the file and the cause, and the hidden files are removed.
bool replace_files(const std::vector<File>& files, std::string& error);

// The hidden sibling path used while `path` is being written.
std::string staging_path(const std::string& path);

}  // namespace atomic_write
