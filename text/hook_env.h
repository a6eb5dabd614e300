// An Env for tests that runs a hook just before an input is opened through
// a directory handle, so a test can change the file under the reader's
// feet: remove it, or put a FIFO in its place, between the listing and the
// read.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "store/env.h"

namespace text {

class HookEnv : public store::Env {
 public:
  // Called with the path of the entry (the directory's path and the name)
  // before Directory::ReadFile and Directory::NewSequentialFile. `base` must
  // outlive this Env.
  using Hook = std::function<void(const std::string& path)>;
  HookEnv(store::Env* base, Hook before_read) : base_(base), before_read_(std::move(before_read)) {}

  store::Status OpenDirectory(const std::string& path, std::unique_ptr<store::Directory>* dir) override;
  store::Status MakeDirectory(const std::string& path) override { return base_->MakeDirectory(path); }
  store::Status Stat(const std::string& path, store::Follow follow, store::FileInfo* info) override {
    return base_->Stat(path, follow, info);
  }
  store::Status ReadFile(const std::string& path, std::string* out, uint64_t limit) override {
    return base_->ReadFile(path, out, limit);
  }
  store::Status NewSequentialFile(const std::string& path, std::unique_ptr<store::SequentialFile>* file) override {
    return base_->NewSequentialFile(path, file);
  }
  store::Status MapFile(const std::string& path, std::unique_ptr<store::MappedFile>* file) override {
    return base_->MapFile(path, file);
  }
  store::Status ReadStandardInput(std::string* out, uint64_t limit) override {
    return base_->ReadStandardInput(out, limit);
  }
  store::Status LockDirectory(const std::string& path, store::FileLock::Mode mode, bool wait,
                              std::unique_ptr<store::FileLock>* lock) override {
    return base_->LockDirectory(path, mode, wait, lock);
  }
  store::Status FreeSpace(const std::string& path, uint64_t* bytes) override {
    return base_->FreeSpace(path, bytes);
  }

 private:
  store::Env* base_;
  Hook before_read_;
};

}  // namespace text
