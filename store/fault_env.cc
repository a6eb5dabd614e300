#include "store/fault_env.h"

namespace store {

namespace {

bool Changes(FaultEnv::Op op) {
  return op == FaultEnv::Op::kWrite || op == FaultEnv::Op::kSync || op == FaultEnv::Op::kRename ||
         op == FaultEnv::Op::kRemove;
}

class FaultSequentialFile : public SequentialFile {
 public:
  FaultSequentialFile(FaultEnv* env, std::unique_ptr<SequentialFile> base, std::string path)
      : env_(env), base_(std::move(base)), path_(std::move(path)) {}
  uint64_t size() const override { return base_->size(); }
  Status Read(size_t n, char* scratch, size_t* got) override {
    Status s = env_->Check(FaultEnv::Op::kRead, path_);
    if (!s.ok()) {
      *got = 0;
      return s;
    }
    return base_->Read(n, scratch, got);
  }

 private:
  FaultEnv* env_;
  std::unique_ptr<SequentialFile> base_;
  std::string path_;
};

class FaultWritableFile : public WritableFile {
 public:
  FaultWritableFile(FaultEnv* env, std::unique_ptr<WritableFile> base, std::string path)
      : env_(env), base_(std::move(base)), path_(std::move(path)) {}
  Status Append(std::string_view data) override {
    Status s = env_->Check(FaultEnv::Op::kWrite, path_);
    return s.ok() ? base_->Append(data) : s;
  }
  Status Sync() override {
    Status s = env_->Check(FaultEnv::Op::kSync, path_);
    return s.ok() ? base_->Sync() : s;
  }
  Status Close() override { return base_->Close(); }

 private:
  FaultEnv* env_;
  std::unique_ptr<WritableFile> base_;
  std::string path_;
};

class FaultDirectory : public Directory {
 public:
  FaultDirectory(FaultEnv* env, std::unique_ptr<Directory> base) : env_(env), base_(std::move(base)) {}

  const std::string& path() const override { return base_->path(); }
  Status List(std::vector<std::string>* names) override {
    Status s = env_->Check(FaultEnv::Op::kRead, path());
    return s.ok() ? base_->List(names) : s;
  }
  Status Stat(const std::string& name, Follow follow, FileInfo* info) override {
    return base_->Stat(name, follow, info);
  }
  Status ReadFile(const std::string& name, std::string* out, uint64_t limit) override {
    Status s = env_->Check(FaultEnv::Op::kOpen, path() + name);
    if (s.ok()) s = env_->Check(FaultEnv::Op::kRead, path() + name);
    return s.ok() ? base_->ReadFile(name, out, limit) : s;
  }
  Status NewSequentialFile(const std::string& name, std::unique_ptr<SequentialFile>* file) override {
    Status s = env_->Check(FaultEnv::Op::kOpen, path() + name);
    std::unique_ptr<SequentialFile> base;
    if (s.ok()) s = base_->NewSequentialFile(name, &base);
    if (s.ok()) *file = std::make_unique<FaultSequentialFile>(env_, std::move(base), path() + name);
    return s;
  }
  Status CheckInput(const std::string& name) override {
    Status s = env_->Check(FaultEnv::Op::kOpen, path() + name);
    return s.ok() ? base_->CheckInput(name) : s;
  }
  Status WriteFile(const std::string& name, std::string_view content, const WriteOptions& options) override {
    Status s = env_->Check(FaultEnv::Op::kOpen, path() + name);
    if (s.ok()) s = env_->Check(FaultEnv::Op::kWrite, path() + name);
    return s.ok() ? base_->WriteFile(name, content, options) : s;
  }
  Status NewWritableFile(const std::string& name, uint32_t mode,
                         std::unique_ptr<WritableFile>* file) override {
    Status s = env_->Check(FaultEnv::Op::kOpen, path() + name);
    // Creating a file changes the disk.
    if (s.ok()) s = env_->Check(FaultEnv::Op::kWrite, path() + name);
    std::unique_ptr<WritableFile> base;
    if (s.ok()) s = base_->NewWritableFile(name, mode, &base);
    if (s.ok()) *file = std::make_unique<FaultWritableFile>(env_, std::move(base), path() + name);
    return s;
  }
  Status Rename(const std::string& from, const std::string& to) override {
    Status s = env_->Check(FaultEnv::Op::kRename, path() + to);
    return s.ok() ? base_->Rename(from, to) : s;
  }
  Status Remove(const std::string& name) override {
    Status s = env_->Check(FaultEnv::Op::kRemove, path() + name);
    return s.ok() ? base_->Remove(name) : s;
  }
  Status RemoveTree(const std::string& name) override {
    Status s = env_->Check(FaultEnv::Op::kRemove, path() + name);
    return s.ok() ? base_->RemoveTree(name) : s;
  }
  Status Sync() override {
    Status s = env_->Check(FaultEnv::Op::kSync, path());
    return s.ok() ? base_->Sync() : s;
  }
  Status OpenDirectory(const std::string& name, bool own, std::unique_ptr<Directory>* dir) override {
    Status s = env_->Check(FaultEnv::Op::kOpen, path() + name);
    std::unique_ptr<Directory> base;
    if (s.ok()) s = base_->OpenDirectory(name, own, &base);
    if (s.ok()) *dir = std::make_unique<FaultDirectory>(env_, std::move(base));
    return s;
  }

 private:
  FaultEnv* env_;
  std::unique_ptr<Directory> base_;
};

}  // namespace

void FaultEnv::FailNth(Op op, int nth, int error, bool onwards) {
  const std::lock_guard<std::mutex> lock(mu_);
  fail_nth_[static_cast<size_t>(op)] = nth;
  fail_errno_[static_cast<size_t>(op)] = error;
  fail_onwards_[static_cast<size_t>(op)] = onwards;
}

void FaultEnv::CrashAt(int nth_change) {
  const std::lock_guard<std::mutex> lock(mu_);
  crash_at_ = nth_change;
}

int FaultEnv::calls(Op op) const {
  const std::lock_guard<std::mutex> lock(mu_);
  return calls_[static_cast<size_t>(op)];
}

int FaultEnv::changes() const {
  const std::lock_guard<std::mutex> lock(mu_);
  return changes_;
}

Status FaultEnv::Check(Op op, const std::string& path) {
  const std::lock_guard<std::mutex> lock(mu_);
  const auto k = static_cast<size_t>(op);
  const int n = ++calls_[k];
  if (Changes(op)) {
    ++changes_;
    if (crash_at_ > 0 && changes_ >= crash_at_) return Status::Error(path, EIO);
  }
  if (fail_nth_[k] == n || (fail_onwards_[k] && fail_nth_[k] > 0 && n > fail_nth_[k]))
    return Status::Error(path, fail_errno_[k]);
  return Status();
}

Status FaultEnv::OpenDirectory(const std::string& path, std::unique_ptr<Directory>* dir) {
  Status s = Check(Op::kOpen, path);
  std::unique_ptr<Directory> base;
  if (s.ok()) s = base_->OpenDirectory(path, &base);
  if (s.ok()) *dir = std::make_unique<FaultDirectory>(this, std::move(base));
  return s;
}

Status FaultEnv::MakeDirectory(const std::string& path) {
  Status s = Check(Op::kWrite, path);
  return s.ok() ? base_->MakeDirectory(path) : s;
}

Status FaultEnv::Stat(const std::string& path, Follow follow, FileInfo* info) {
  return base_->Stat(path, follow, info);
}

Status FaultEnv::ReadFile(const std::string& path, std::string* out, uint64_t limit) {
  Status s = Check(Op::kOpen, path);
  if (s.ok()) s = Check(Op::kRead, path);
  return s.ok() ? base_->ReadFile(path, out, limit) : s;
}

Status FaultEnv::NewSequentialFile(const std::string& path, std::unique_ptr<SequentialFile>* file) {
  Status s = Check(Op::kOpen, path);
  std::unique_ptr<SequentialFile> base;
  if (s.ok()) s = base_->NewSequentialFile(path, &base);
  if (s.ok()) *file = std::make_unique<FaultSequentialFile>(this, std::move(base), path);
  return s;
}

Status FaultEnv::MapFile(const std::string& path, std::unique_ptr<MappedFile>* file) {
  Status s = Check(Op::kOpen, path);
  return s.ok() ? base_->MapFile(path, file) : s;
}

Status FaultEnv::ReadStandardInput(std::string* out, uint64_t limit) {
  Status s = Check(Op::kRead, "-");
  return s.ok() ? base_->ReadStandardInput(out, limit) : s;
}

Status FaultEnv::LockDirectory(const std::string& path, FileLock::Mode mode, bool wait,
                               std::unique_ptr<FileLock>* lock) {
  Status s = Check(Op::kLock, path);
  return s.ok() ? base_->LockDirectory(path, mode, wait, lock) : s;
}

Status FaultEnv::FreeSpace(const std::string& path, uint64_t* bytes) {
  return base_->FreeSpace(path, bytes);
}

}  // namespace store
