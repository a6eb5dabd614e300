// The files of the sound base that one indexation replaces together, in one
// store::Commit: the descriptor base, appended to as it is made, and the
// sound list, staged whole at the end. Any other file of the sound side that
// must change with them is staged through commit() before Finish, so that a
// crash at any point leaves the whole group old or the whole group new.
#pragma once

#include <string_view>

#include "store/commit.h"
#include "store/env.h"

namespace sound {

class BaseCommit {
 public:
  // `dir` is the sound base directory; it must outlive the commit.
  explicit BaseCommit(store::Directory* dir) : commit_(dir) {}

  // Stages the new descriptor base, empty.
  store::Status Start();
  // Appends to the staged descriptor base.
  store::Status Append(std::string_view bytes);
  // The group's commit, for files staged beside the two bases.
  store::Commit& commit() { return commit_; }
  // Stages the sound list and replaces every staged file at once.
  store::Status Finish(std::string_view list);

 private:
  store::Commit commit_;
  store::WritableFile* descriptors_ = nullptr;
};

}  // namespace sound
