#include "sound/base_commit.h"

#include <string>

#include "common/paths.h"

namespace sound {

namespace {

std::string name_of(const std::string& path) {
  std::string dir, name;
  store::SplitPath(path, &dir, &name);
  return name;
}

}  // namespace

store::Status BaseCommit::Start() {
  return commit_.Stage(name_of(paths::kSoundDescriptors), &descriptors_);
}

store::Status BaseCommit::Append(std::string_view bytes) {
  if (descriptors_ == nullptr) return store::Status::Invalid(paths::kSoundDescriptors, "not staged");
  return descriptors_->Append(bytes);
}

store::Status BaseCommit::Finish(std::string_view list) {
  store::Status s = commit_.Stage(name_of(paths::kSoundList), list);
  if (s.ok()) s = commit_.Finish();
  return s;
}

}  // namespace sound
