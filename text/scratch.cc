#include "text/scratch.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unordered_set>

#include "common/fileio.h"
#include "common/paths.h"

namespace fs = std::filesystem;

namespace text::scratch {

namespace {

void report_path(const std::string& what, const std::string& path, const std::string& cause) {
  fileio::report(what + fileio::printable(path) + (cause.empty() ? "" : " : " + cause));
}

// Creates `path` as an empty file, or empties it (`truncate`), or leaves an
// existing one as it is.
void touch(const std::string& path, bool truncate) {
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (truncate ? O_TRUNC : 0);
  const int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) {
    report_path("impossible de créer ", path, std::strerror(errno));
    return;
  }
  ::close(fd);
}

// Makes `path` a real directory (not a link to one), replacing whatever else
// stands there.
bool make_directory(const std::string& path) {
  std::error_code ec;
  const fs::file_status st = fs::symlink_status(path, ec);
  if (fs::exists(st) && !fs::is_directory(st)) fs::remove_all(path, ec);
  fs::create_directory(path, ec);
  if (ec || !fs::is_directory(fs::symlink_status(path, ec))) {
    report_path("impossible de créer le répertoire ", path, ec ? ec.message() : "");
    return false;
  }
  return true;
}

// Removes the entries of directory `dir` whose names `keep` rejects.
template <typename Keep>
void remove_entries(const std::string& dir, Keep keep) {
  std::vector<std::string> doomed;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (const dirent* e = ::readdir(d)) {
      const std::string_view name = e->d_name;
      if (name == "." || name == ".." || keep(name)) continue;
      doomed.emplace_back(name);
    }
    ::closedir(d);
  }
  for (const std::string& name : doomed) {
    std::error_code ec;
    fs::remove_all(dir + name, ec);
    if (ec) report_path("impossible de supprimer ", dir + name, ec.message());
  }
}

bool write_all(int fd, std::string_view content) {
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t w = ::pwrite(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(w);
  }
  return true;
}

// Gives file `name` of directory `dir` (path `path`) exactly `content`. An
// existing plain file with no other link is reused: left alone when it holds
// these bytes already (the usual case when the corpus has not changed, and
// cheaper than dirtying its pages again), rewritten in place otherwise.
// Anything else (a symbolic link, a directory, a pipe, a file shared with
// another name) is replaced by a new file, so nothing outside the scratch
// space is ever written.
bool put(int dir, const std::string& name, const std::string& path, std::string_view content) {
  int fd = ::openat(dir, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
  struct stat st;
  if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1)) {
    ::close(fd);
    fd = -1;
  }
  if (fd < 0) {
    std::error_code ec;
    fs::remove_all(path, ec);
    fd = ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    st.st_size = 0;
  }
  if (static_cast<size_t>(st.st_size) == content.size() && !content.empty()) {
    thread_local std::string old;
    old.resize(content.size());
    const ssize_t n = ::pread(fd, old.data(), old.size(), 0);
    if (n == static_cast<ssize_t>(content.size()) &&
        std::memcmp(old.data(), content.data(), content.size()) == 0) {
      ::close(fd);
      return true;
    }
  }
  bool ok = write_all(fd, content);
  if (ok && static_cast<size_t>(st.st_size) > content.size())
    ok = ::ftruncate(fd, static_cast<off_t>(content.size())) == 0;
  const int saved = errno;
  ok = ::close(fd) == 0 && ok;
  if (!ok) {
    ::unlinkat(dir, name.c_str(), 0);  // never leave a half-old file behind
    errno = saved;
  }
  return ok;
}

}  // namespace

bool rebuild() {
  const std::string root = std::string(paths::kTextScratch) + "/";
  const bool made = make_directory(paths::kTextScratch) && make_directory(paths::kTextScratchCopies) &&
                    make_directory(paths::kTextScratchPure);
  if (made) {
    remove_entries(root, [](std::string_view name) { return name == "cpy" || name == "pure_txts"; });
    touch(paths::kTextScratchTable, /*truncate=*/true);
  }
  touch(paths::kTextSideTable, /*truncate=*/false);
  return made;
}

void prune(const std::vector<std::string>& names) {
  const std::unordered_set<std::string_view> kept(names.begin(), names.end());
  auto keep = [&](std::string_view name) { return kept.count(name) != 0; };
  remove_entries(paths::kTextScratchCopies, keep);
  remove_entries(paths::kTextScratchPure, keep);
}

bool ensure() {
  std::error_code ec;
  for (const char* dir : {paths::kTextScratch, paths::kTextScratchCopies, paths::kTextScratchPure})
    if (!fs::is_directory(fs::symlink_status(dir, ec)) && !make_directory(dir)) return false;
  return true;
}

Writer::Writer() {
  copies_ = ::open(paths::kTextScratchCopies, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  pure_ = ::open(paths::kTextScratchPure, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

Writer::~Writer() {
  if (copies_ >= 0) ::close(copies_);
  if (pure_ >= 0) ::close(pure_);
}

void Writer::write(std::string_view name, std::string_view copy, std::string_view pure,
                   std::vector<std::string>& problems) const {
  // A bare name never holds "/"; "." and ".." would name the directories.
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos) {
    problems.push_back("nom inutilisable dans l'espace de travail : " + fileio::printable(name));
    return;
  }
  const std::string n(name);
  const struct {
    int dir;
    const char* prefix;
    std::string_view content;
  } files[] = {{copies_, paths::kTextScratchCopies, copy}, {pure_, paths::kTextScratchPure, pure}};
  for (const auto& f : files) {
    const std::string path = f.prefix + n;
    if (f.dir >= 0 && put(f.dir, n, path, f.content)) continue;
    problems.push_back("impossible d'écrire " + fileio::printable(path) +
                       (f.dir >= 0 ? std::string(" : ") + std::strerror(errno) : std::string()));
  }
}

}  // namespace text::scratch
