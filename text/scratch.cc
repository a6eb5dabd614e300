#include "text/scratch.h"

#include <unordered_set>

#include "common/paths.h"
#include "text/messages.h"
#include "text/problem.h"

namespace text::scratch {

namespace {

constexpr const char kScratchName[] = "temp_txt";
constexpr const char kCopiesName[] = "cpy";
constexpr const char kPureName[] = "pure_txts";
constexpr const char kTableName[] = "table_index_texte_temp";

// Opens "temp_txt" and, in it, "cpy" and "pure_txts" as own directories.
// Reports the first that cannot be made.
bool open_all(const store::Store& store, output::Sink& sink,
              std::unique_ptr<store::Directory>* root, Space* space) {
  std::unique_ptr<store::Directory> indexation;
  store::Status s = store.env().OpenDirectory(store.path(paths::kIndexationRoot), &indexation);
  if (s.ok()) s = indexation->OpenDirectory(kScratchName, /*own=*/true, root);
  if (!s.ok()) {
    sink.report(problem(messages::kCannotCreateDirectory, paths::kTextScratch, s));
    return false;
  }
  std::unique_ptr<store::Directory> copies, pure;
  s = (*root)->OpenDirectory(kCopiesName, /*own=*/true, &copies);
  if (!s.ok()) {
    sink.report(problem(messages::kCannotCreateDirectory, paths::kTextScratchCopies, s));
    return false;
  }
  s = (*root)->OpenDirectory(kPureName, /*own=*/true, &pure);
  if (!s.ok()) {
    sink.report(problem(messages::kCannotCreateDirectory, paths::kTextScratchPure, s));
    return false;
  }
  space->copies = std::move(copies);
  space->pure = std::move(pure);
  return true;
}

// Removes the entries of `dir` (shown as `layout`) whose names `keep` rejects.
template <typename Keep>
void remove_entries(store::Directory& dir, std::string_view layout, Keep keep, output::Sink& sink) {
  std::vector<std::string> names;
  if (!dir.List(&names).ok()) return;
  for (const std::string& name : names) {
    if (keep(name)) continue;
    const store::Status s = dir.RemoveTree(name);
    if (!s.ok()) sink.report(problem(messages::kCannotRemove, std::string(layout) + name, s));
  }
}

// Makes `name` a plain empty file when something else or nothing stands
// there; an existing plain file is left as it is.
void touch(store::Directory& dir, const std::string& name, std::string_view layout, output::Sink& sink) {
  store::FileInfo info;
  if (dir.Stat(name, store::Follow::kNoLinks, &info).ok() && info.type == store::FileInfo::Type::kRegular)
    return;
  const store::Status s = dir.WriteFile(name, "");
  if (!s.ok()) sink.report(problem(messages::kCannotCreate, layout, s));
}

constexpr uint32_t kUnknownSourceMode = 0600;

uint32_t modeOf(const store::Status& s, const store::FileInfo& info) {
  return s.ok() ? info.mode & 0666 : kUnknownSourceMode;
}

}  // namespace

uint32_t copyMode(store::Directory& dir, const std::string& name) {
  store::FileInfo info;
  const store::Status s = dir.Stat(name, store::Follow::kLinks, &info);
  return modeOf(s, info);
}

uint32_t copyMode(store::Env& env, const std::string& path) {
  store::FileInfo info;
  const store::Status s = env.Stat(path, store::Follow::kLinks, &info);
  return modeOf(s, info);
}

std::string_view bareName(std::string_view path) {
  size_t end = path.size();
  while (end > 0 && path[end - 1] == '/') --end;
  const size_t slash = path.rfind('/', end == 0 ? 0 : end - 1);
  const size_t begin = slash == std::string_view::npos ? 0 : slash + 1;
  return end == 0 ? std::string_view() : path.substr(begin, end - begin);
}

void rebuild(const store::Store& store, output::Sink& sink, Space* space) {
  std::unique_ptr<store::Directory> root;
  if (open_all(store, sink, &root, space)) {
    const std::string layout = std::string(paths::kTextScratch) + "/";
    remove_entries(
        *root, layout, [](std::string_view name) { return name == kCopiesName || name == kPureName; }, sink);
    const store::Status s = root->WriteFile(kTableName, "");
    if (!s.ok()) sink.report(problem(messages::kCannotCreate, paths::kTextScratchTable, s));
  }
  std::unique_ptr<store::Directory> indexation;
  const store::Status s = store.env().OpenDirectory(store.path(paths::kIndexationRoot), &indexation);
  if (!s.ok()) {
    sink.report(problem(messages::kCannotCreate, paths::kTextSideTable, s));
    return;
  }
  touch(*indexation, kTableName, paths::kTextSideTable, sink);
}

void ensure(const store::Store& store, output::Sink& sink, Space* space) {
  std::unique_ptr<store::Directory> root;
  open_all(store, sink, &root, space);
}

void prune(const Space& space, const std::vector<std::string>& names, output::Sink& sink) {
  const std::unordered_set<std::string_view> kept(names.begin(), names.end());
  auto keep = [&](std::string_view name) { return kept.count(name) != 0; };
  remove_entries(*space.copies, paths::kTextScratchCopies, keep, sink);
  remove_entries(*space.pure, paths::kTextScratchPure, keep, sink);
}

void write(const Space& space, std::string_view name, std::string_view copy, std::string_view pure,
           uint32_t mode, std::vector<std::string>& problems) {
  // A bare name never holds "/"; "." and ".." would name the directories.
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos) {
    problems.push_back(std::string(messages::kUnusableScratchName) + output::printable(name));
    return;
  }
  const std::string n(name);
  const struct {
    store::Directory* dir;
    const char* layout;
    std::string_view content;
  } files[] = {{space.copies.get(), paths::kTextScratchCopies, copy},
               {space.pure.get(), paths::kTextScratchPure, pure}};
  store::WriteOptions options;
  options.mode = mode;
  options.reuse = true;
  for (const auto& f : files) {
    const store::Status s = f.dir->WriteFile(n, f.content, options);
    if (!s.ok()) problems.push_back(problem(messages::kCannotWrite, f.layout + n, s));
  }
}

}  // namespace text::scratch
