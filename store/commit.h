// Replacing a group of files of one directory as a whole, so that a crash at
// any system call leaves either every old file or every new one.
//
//  1. Each new file is written in full beside its final name, as the hidden
//     ".NAME.new", and synced.
//  2. A hidden record ".commit" naming the files is written (under a
//     temporary name, synced, then renamed into place) and the directory is
//     synced: from here on the commit is decided.
//  3. The staged files are renamed over the old ones, the directory is
//     synced, and the record is removed.
//
// A crash before step 2 ends leaves only hidden staging files, which
// Recover() removes; a crash after it leaves the record, and Recover()
// finishes the renames. Every request recovers a directory before it reads
// it, so no reader ever sees a mixed group.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/env.h"

namespace store {

inline constexpr const char kCommitRecord[] = ".commit";

// The hidden name a file is staged under: ".NAME.new".
std::string StagedName(const std::string& name);

class Commit {
 public:
  // `dir` must outlive the commit.
  explicit Commit(Directory* dir) : dir_(dir) {}
  // A commit never finished removes what it staged.
  ~Commit();
  Commit(const Commit&) = delete;
  Commit& operator=(const Commit&) = delete;

  // Starts the new content of `name`, to be appended to by the caller (for
  // contents too large to hold in memory). The file is synced by Finish.
  Status Stage(const std::string& name, WritableFile** file);
  // Stages a whole content at once.
  Status Stage(const std::string& name, std::string_view content);

  // Steps 2 and 3. On failure before the record is in place nothing has
  // changed and the staged files are removed; after it, the next Recover()
  // completes the group.
  Status Finish();

 private:
  struct Staged {
    std::string name;
    std::unique_ptr<WritableFile> file;
  };
  void Abandon();

  Directory* dir_;
  std::vector<Staged> staged_;
  bool finished_ = false;
};

// Fails, naming the sizes, when `bytes` more would not fit in the free space
// of the file system holding `dir`: a base is refused before it is written
// rather than left to fill the disk.
Status CheckFreeSpace(Env& env, const std::string& dir, uint64_t bytes);

// True when `dir` holds a commit record or staging files: what a crashed or
// failed commit leaves. Reads the directory only.
bool NeedsRecovery(Directory* dir);

// Completes a recorded commit, then removes every staging file left.
Status Recover(Directory* dir);

}  // namespace store
