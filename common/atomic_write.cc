#include "common/atomic_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace atomic_write {

std::string staging_path(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return dir + "." + name + ".new";
}

namespace {

bool write_all(int fd, const std::string& content) {
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool write_staged(const File& file, std::string& error) {
  const std::string staged = staging_path(file.path);
  const int fd = ::open(staged.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = file.path + " : " + std::strerror(errno);
    return false;
  }
  if (!write_all(fd, file.content) || ::fsync(fd) != 0) {
    error = file.path + " : " + std::strerror(errno);
    ::close(fd);
    ::unlink(staged.c_str());
    return false;
  }
  ::close(fd);
  return true;
}

}  // namespace

bool replace_files(const std::vector<File>& files, std::string& error) {
  for (size_t i = 0; i < files.size(); ++i) {
    if (!write_staged(files[i], error)) {
      for (size_t k = 0; k < i; ++k) ::unlink(staging_path(files[k].path).c_str());
      return false;
    }
  }
  for (const File& file : files) {
    if (::rename(staging_path(file.path).c_str(), file.path.c_str()) != 0) {
      error = file.path + " : " + std::strerror(errno);
      for (const File& f : files) ::unlink(staging_path(f.path).c_str());
      return false;
    }
  }
  return true;
}

}  // namespace atomic_write
