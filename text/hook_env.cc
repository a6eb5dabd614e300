#include "text/hook_env.h"

namespace text {

namespace {

class HookDirectory : public store::Directory {
 public:
  HookDirectory(std::unique_ptr<store::Directory> base, const HookEnv::Hook* hook)
      : base_(std::move(base)), hook_(hook) {}

  const std::string& path() const override { return base_->path(); }
  store::Status List(std::vector<std::string>* names) override { return base_->List(names); }
  store::Status Stat(const std::string& name, store::Follow follow, store::FileInfo* info) override {
    return base_->Stat(name, follow, info);
  }
  store::Status ReadFile(const std::string& name, std::string* out, uint64_t limit) override {
    (*hook_)(path() + name);
    return base_->ReadFile(name, out, limit);
  }
  store::Status NewSequentialFile(const std::string& name, std::unique_ptr<store::SequentialFile>* file) override {
    (*hook_)(path() + name);
    return base_->NewSequentialFile(name, file);
  }
  store::Status CheckInput(const std::string& name) override { return base_->CheckInput(name); }
  store::Status WriteFile(const std::string& name, std::string_view content,
                          const store::WriteOptions& options) override {
    return base_->WriteFile(name, content, options);
  }
  store::Status NewWritableFile(const std::string& name, uint32_t mode,
                                std::unique_ptr<store::WritableFile>* file) override {
    return base_->NewWritableFile(name, mode, file);
  }
  store::Status Rename(const std::string& from, const std::string& to) override { return base_->Rename(from, to); }
  store::Status Remove(const std::string& name) override { return base_->Remove(name); }
  store::Status RemoveTree(const std::string& name) override { return base_->RemoveTree(name); }
  store::Status Sync() override { return base_->Sync(); }
  store::Status OpenDirectory(const std::string& name, bool own, std::unique_ptr<store::Directory>* dir) override {
    std::unique_ptr<store::Directory> opened;
    store::Status s = base_->OpenDirectory(name, own, &opened);
    if (s.ok()) *dir = std::make_unique<HookDirectory>(std::move(opened), hook_);
    return s;
  }

 private:
  std::unique_ptr<store::Directory> base_;
  const HookEnv::Hook* hook_;
};

}  // namespace

store::Status HookEnv::OpenDirectory(const std::string& path, std::unique_ptr<store::Directory>* dir) {
  std::unique_ptr<store::Directory> opened;
  store::Status s = base_->OpenDirectory(path, &opened);
  if (s.ok()) *dir = std::make_unique<HookDirectory>(std::move(opened), &before_read_);
  return s;
}

}  // namespace text
