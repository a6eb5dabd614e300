#include "common/config.h"

#include "common/paths.h"
#include "common/tokens.h"
#include "store/commit.h"

namespace config {

bool Ensure(const store::Store& store, output::Sink& sink) {
  const std::string path = store.path(paths::kConfig);
  store::FileInfo info;
  store::Status s = store.env().Stat(path, store::Follow::kNoLinks, &info);
  if (s.ok() || s.code() != ENOENT) return true;
  std::unique_ptr<store::Directory> dir;
  std::string name;
  s = store::OpenParent(store.env(), path, &dir, &name);
  if (s.ok()) {
    store::Commit commit(dir.get());
    s = commit.Stage(name, kDefault);
    if (s.ok()) s = commit.Finish();
  }
  if (!s.ok()) {
    sink.report("impossible de créer le fichier de configuration " + output::printable(s.ToString()));
    return false;
  }
  sink.out(kCreated);
  return true;
}

std::optional<std::string> Read(const store::Store& store, store::Status* why) {
  std::string text;
  store::Status s = store.env().ReadFile(store.path(paths::kConfig), &text);
  if (why != nullptr) *why = s;
  if (!s.ok()) return std::nullopt;
  return text;
}

std::optional<std::string_view> ValueAfter(std::string_view text, std::string_view key) {
  tokens::Reader reader(text);
  std::string_view t;
  while (reader.next(t)) {
    if (t != key) continue;
    if (reader.next(t)) return t;
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace config
