#include "text/scratch.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/fileio.h"
#include "common/paths.h"

namespace fs = std::filesystem;

namespace text::scratch {

namespace {

// Creates `path` as an empty file when it does not exist; keeps its content
// when it does.
void touch(const std::string& path, bool truncate) {
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : 0);
  const int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) {
    fileio::report("impossible de créer " + fileio::printable(path) + " : " + std::strerror(errno));
    return;
  }
  ::close(fd);
}

bool make_directory(const std::string& path) {
  std::error_code ec;
  fs::create_directory(path, ec);
  if (ec || !fs::is_directory(path, ec)) {
    fileio::report("impossible de créer le répertoire " + fileio::printable(path) +
                   (ec ? " : " + ec.message() : ""));
    return false;
  }
  return true;
}

bool write_all(int dir, std::string_view name, std::string_view content) {
  const std::string n(name);
  const int fd = ::openat(dir, n.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t w = ::write(fd, content.data() + done, content.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      const int saved = errno;
      ::close(fd);
      errno = saved;
      return false;
    }
    done += static_cast<size_t>(w);
  }
  return ::close(fd) == 0;
}

}  // namespace

bool rebuild() {
  std::error_code ec;
  fs::remove_all(paths::kTextScratch, ec);
  if (ec) fileio::report("impossible de vider " + fileio::printable(paths::kTextScratch) + " : " + ec.message());
  bool made = make_directory(paths::kTextScratch) && make_directory(paths::kTextScratchCopies) &&
              make_directory(paths::kTextScratchPure);
  if (made) touch(paths::kTextScratchTable, /*truncate=*/true);
  touch(paths::kTextSideTable, /*truncate=*/false);
  return made;
}

bool ensure() {
  std::error_code ec;
  for (const char* dir : {paths::kTextScratch, paths::kTextScratchCopies, paths::kTextScratchPure})
    if (!fs::is_directory(dir, ec) && !make_directory(dir)) return false;
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
    problems.push_back("nom de fichier inutilisable dans l'espace de travail : " + fileio::printable(name));
    return;
  }
  const struct {
    int dir;
    const char* prefix;
    std::string_view content;
  } files[] = {{copies_, paths::kTextScratchCopies, copy}, {pure_, paths::kTextScratchPure, pure}};
  for (const auto& f : files) {
    if (f.dir >= 0 && write_all(f.dir, name, f.content)) continue;
    problems.push_back("impossible d'écrire " + fileio::printable(std::string(f.prefix) + std::string(name)) +
                       (f.dir >= 0 ? std::string(" : ") + std::strerror(errno) : std::string()));
  }
}

}  // namespace text::scratch
