// An Env for tests that makes chosen calls fail, to prove what the system
// does on each failure: a full disk at the Nth write, a rename refused, or a
// crash at any point (from then on nothing more reaches the disk).
#pragma once

#include <array>
#include <cerrno>
#include <mutex>

#include "store/env.h"

namespace store {

class FaultEnv : public Env {
 public:
  enum class Op { kOpen, kRead, kWrite, kSync, kRename, kRemove, kLock };

  // `base` must outlive this Env.
  explicit FaultEnv(Env* base) : base_(base) {}

  // The nth call (from 1) of `op` fails with errno `error`; with `onwards`,
  // every later call of `op` too.
  void FailNth(Op op, int nth, int error = EIO, bool onwards = false);
  // Every call that would change the file system (creating, writing,
  // syncing, renaming or removing) fails from the nth such call on, as if
  // the process had been killed just before it: what is on disk then is
  // what a crash at that point leaves.
  void CrashAt(int nth_change);
  // Calls made so far.
  int calls(Op op) const;
  int changes() const;

  // Counts a call and says whether it fails (and with which errno). Used by
  // the wrappers of the files and directories this Env hands out.
  Status Check(Op op, const std::string& path);

  Status OpenDirectory(const std::string& path, std::unique_ptr<Directory>* dir) override;
  Status MakeDirectory(const std::string& path) override;
  Status Stat(const std::string& path, Follow follow, FileInfo* info) override;
  Status ReadFile(const std::string& path, std::string* out, uint64_t limit) override;
  Status NewSequentialFile(const std::string& path, std::unique_ptr<SequentialFile>* file) override;
  Status MapFile(const std::string& path, std::unique_ptr<MappedFile>* file) override;
  Status ReadStandardInput(std::string* out, uint64_t limit) override;
  Status LockDirectory(const std::string& path, FileLock::Mode mode, bool wait,
                       std::unique_ptr<FileLock>* lock) override;
  Status FreeSpace(const std::string& path, uint64_t* bytes) override;

 private:
  static constexpr size_t kOps = 7;
  Env* base_;
  mutable std::mutex mu_;
  std::array<int, kOps> calls_{};
  std::array<int, kOps> fail_nth_{};
  std::array<int, kOps> fail_errno_{};
  std::array<bool, kOps> fail_onwards_{};
  int changes_ = 0;
  int crash_at_ = 0;  // 0: no crash
};

}  // namespace store
