#include "common/listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "common/fileio.h"
#include "common/tokens.h"

namespace listing {

bool has_space(const std::string& name) {
  for (const char c : name)
    if (tokens::is_space(static_cast<unsigned char>(c))) return true;
  return false;
}

void sort_like_ls(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const int c = std::strcoll(a.c_str(), b.c_str());
    if (c != 0) return c < 0;
    return a < b;
  });
}

namespace {

bool ends_with(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Why `path` cannot be indexed, or "" when it can.
std::string refusal_reason(const std::string& name, const std::string& path) {
  if (has_space(name)) return "nom contenant un blanc, fichier ignoré";
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return "fichier illisible, ignoré";
  if (!S_ISREG(st.st_mode)) return "pas un fichier ordinaire, ignoré";
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "fichier illisible, ignoré";
  ::close(fd);
  return "";
}

}  // namespace

Result list_corpus(const std::string& dir, const Options& options) {
  Result result;
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) {
    if (options.report) fileio::report("impossible de lister le répertoire " + fileio::printable(dir));
    return result;
  }
  result.directory_opened = true;
  std::vector<std::string> names;
  while (const dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name.empty() || name[0] == '.') continue;
    if (!ends_with(name, options.suffix)) continue;
    names.push_back(std::move(name));
  }
  ::closedir(d);
  sort_like_ls(names);
  for (auto& name : names) {
    const std::string reason = refusal_reason(name, dir + name);
    if (reason.empty()) {
      result.names.push_back(std::move(name));
    } else {
      if (options.report) fileio::report(fileio::printable(dir + name) + " : " + reason);
      result.refused.push_back({std::move(name), reason});
    }
  }
  return result;
}

}  // namespace listing
