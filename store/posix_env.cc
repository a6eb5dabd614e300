// The Env of the real file system, on POSIX calls. Own files are reached
// with openat() from directory descriptors and O_NOFOLLOW, inputs are opened
// with O_NONBLOCK and checked to be regular files on the opened descriptor.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "store/env.h"

namespace store {

namespace {

constexpr int kInputFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

FileInfo ToInfo(const struct stat& st) {
  FileInfo info;
  if (S_ISREG(st.st_mode)) {
    info.type = FileInfo::Type::kRegular;
  } else if (S_ISDIR(st.st_mode)) {
    info.type = FileInfo::Type::kDirectory;
  } else if (S_ISLNK(st.st_mode)) {
    info.type = FileInfo::Type::kSymlink;
  }
  info.size = static_cast<uint64_t>(st.st_size);
  info.mode = st.st_mode & 07777;
  info.links = st.st_nlink;
  return info;
}

Status NotRegular(const std::string& path) { return Status::Invalid(path, "not a regular file"); }

Status TooLarge(const std::string& path, uint64_t limit) {
  return Status::Invalid(path, "larger than " + std::to_string(limit) + " bytes");
}

// Reads an opened input to its end. The file must be regular; a file that
// grows while it is read is read as far as `limit`.
//
// The buffer is the size fstat gave and one byte more, so a file read whole
// needs no second buffer: the spare byte only lets the last read return 0.
// A file that grows past it gets a buffer twice as large each time, never
// more than one byte past `limit`.
Status ReadOpened(int fd, const std::string& path, std::string* out, uint64_t limit) {
  out->clear();
  struct stat st;
  if (::fstat(fd, &st) != 0) return Status::Error(path, errno);
  if (!S_ISREG(st.st_mode)) return NotRegular(path);
  const uint64_t size = static_cast<uint64_t>(st.st_size);
  if (size > limit) return TooLarge(path, limit);
  const uint64_t most = limit == kNoLimit ? kNoLimit : limit + 1;
  out->resize(static_cast<size_t>(size) + 1);
  size_t got = 0;
  for (;;) {
    if (got == out->size()) {
      if (got >= most) {
        out->clear();
        return TooLarge(path, limit);
      }
      out->resize(static_cast<size_t>(std::min<uint64_t>(most, uint64_t{2} * got)));
    }
    const ssize_t n = ::read(fd, out->data() + got, out->size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      out->clear();
      return Status::Error(path, error);
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  if (got > limit) {
    out->clear();
    return TooLarge(path, limit);
  }
  out->resize(got);
  return Status();
}

Status WriteAll(int fd, std::string_view data, off_t offset, const std::string& path) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::pwrite(fd, data.data() + done, data.size() - done,
                               offset + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Status::Error(path, errno);
    }
    done += static_cast<size_t>(n);
  }
  return Status();
}

class PosixSequentialFile : public SequentialFile {
 public:
  PosixSequentialFile(int fd, std::string path, uint64_t size)
      : fd_(fd), path_(std::move(path)), size_(size) {}
  uint64_t size() const override { return size_; }
  Status Read(size_t n, char* scratch, size_t* got) override {
    for (;;) {
      const ssize_t r = ::read(fd_.get(), scratch, n);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) {
        *got = 0;
        return Status::Error(path_, errno);
      }
      *got = static_cast<size_t>(r);
      return Status();
    }
  }

 private:
  Fd fd_;
  std::string path_;
  uint64_t size_;
};

Status OpenSequential(int fd, const std::string& path, std::unique_ptr<SequentialFile>* file) {
  Fd owned(fd);
  struct stat st;
  if (::fstat(fd, &st) != 0) return Status::Error(path, errno);
  if (!S_ISREG(st.st_mode)) return NotRegular(path);
  *file = std::make_unique<PosixSequentialFile>(owned.release(), path,
                                                static_cast<uint64_t>(st.st_size));
  return Status();
}

class PosixWritableFile : public WritableFile {
 public:
  PosixWritableFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  Status Append(std::string_view data) override {
    Status s = WriteAll(fd_.get(), data, offset_, path_);
    if (s.ok()) offset_ += static_cast<off_t>(data.size());
    return s;
  }
  Status Sync() override {
    if (::fsync(fd_.get()) != 0) return Status::Error(path_, errno);
    return Status();
  }
  Status Close() override {
    if (::close(fd_.release()) != 0) return Status::Error(path_, errno);
    return Status();
  }

 private:
  Fd fd_;
  std::string path_;
  off_t offset_ = 0;
};

class PosixMappedFile : public MappedFile {
 public:
  PosixMappedFile(void* base, size_t size) : base_(base), size_(size) {}
  ~PosixMappedFile() override {
    if (base_ != nullptr) ::munmap(base_, size_);
  }
  std::string_view data() const override {
    return base_ == nullptr ? std::string_view() : std::string_view(static_cast<const char*>(base_), size_);
  }

 private:
  void* base_;
  size_t size_;
};

class PosixFileLock : public FileLock {
 public:
  PosixFileLock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  Status Change(Mode mode) override {
    while (::flock(fd_.get(), mode == Mode::kShared ? LOCK_SH : LOCK_EX) != 0) {
      if (errno != EINTR) return Status::Error(path_, errno);
    }
    return Status();
  }

 private:
  Fd fd_;  // closing it releases the lock
  std::string path_;
};

class PosixDirectory : public Directory {
 public:
  PosixDirectory(int fd, std::string path) : fd_(fd), path_(std::move(path)) {
    // "" stands for the working directory, so names show as given.
    if (!path_.empty() && path_.back() != '/') path_ += '/';
  }

  const std::string& path() const override { return path_; }

  Status List(std::vector<std::string>* names) override {
    names->clear();
    const int copy = ::dup(fd_.get());
    if (copy < 0) return Status::Error(path_, errno);
    DIR* d = ::fdopendir(copy);
    if (d == nullptr) {
      const int error = errno;
      ::close(copy);
      return Status::Error(path_, error);
    }
    ::rewinddir(d);  // the copy shares its position with earlier listings
    errno = 0;
    while (const dirent* e = ::readdir(d)) {
      const std::string_view name = e->d_name;
      if (name != "." && name != "..") names->emplace_back(name);
      errno = 0;
    }
    const int error = errno;
    ::closedir(d);
    if (error != 0) return Status::Error(path_, error);
    return Status();
  }

  Status Stat(const std::string& name, Follow follow, FileInfo* info) override {
    struct stat st;
    if (::fstatat(fd_.get(), name.c_str(), &st, follow == Follow::kLinks ? 0 : AT_SYMLINK_NOFOLLOW) != 0)
      return Status::Error(path_ + name, errno);
    *info = ToInfo(st);
    return Status();
  }

  Status ReadFile(const std::string& name, std::string* out, uint64_t limit) override {
    out->clear();
    const Fd fd(::openat(fd_.get(), name.c_str(), kInputFlags));
    if (fd.get() < 0) return Status::Error(path_ + name, errno);
    return ReadOpened(fd.get(), path_ + name, out, limit);
  }

  Status NewSequentialFile(const std::string& name, std::unique_ptr<SequentialFile>* file) override {
    const int fd = ::openat(fd_.get(), name.c_str(), kInputFlags);
    if (fd < 0) return Status::Error(path_ + name, errno);
    return OpenSequential(fd, path_ + name, file);
  }

  Status CheckInput(const std::string& name) override {
    const Fd fd(::openat(fd_.get(), name.c_str(), kInputFlags));
    if (fd.get() < 0) return Status::Error(path_ + name, errno);
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) return Status::Error(path_ + name, errno);
    if (!S_ISREG(st.st_mode)) return NotRegular(path_ + name);
    return Status();
  }

  Status WriteFile(const std::string& name, std::string_view content,
                   const WriteOptions& options) override {
    const std::string path = path_ + name;
    struct stat st;
    Fd fd(::openat(fd_.get(), name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                   options.mode));
    if (fd.get() >= 0 && (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1))
      fd.reset();
    if (fd.get() < 0) {
      // A link, a directory, a FIFO or a file shared with another name:
      // replaced by a new file of ours.
      Status removed = RemoveTree(name);
      if (!removed.ok()) return removed;
      fd.reset(::openat(fd_.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        options.mode));
      if (fd.get() < 0) return Status::Error(path, errno);
      st.st_size = 0;
      st.st_mode = options.mode;
    }
    // Never wider than asked for, whatever an older file allowed.
    if ((st.st_mode & 07777 & ~options.mode) != 0 &&
        ::fchmod(fd.get(), st.st_mode & 07777 & options.mode) != 0)
      return Fail(fd, name, errno);
    const auto old_size = static_cast<uint64_t>(st.st_size);
    if (options.reuse && old_size == content.size() && !content.empty() && Holds(fd.get(), content))
      return Status();
    if (!options.reuse && old_size > 0 && ::ftruncate(fd.get(), 0) != 0) return Fail(fd, name, errno);
    Status s = WriteAll(fd.get(), content, 0, path);
    if (!s.ok()) return Fail(fd, name, s.code());
    if (options.reuse && old_size > content.size() &&
        ::ftruncate(fd.get(), static_cast<off_t>(content.size())) != 0)
      return Fail(fd, name, errno);
    if (::close(fd.release()) != 0) return Fail(fd, name, errno);
    return Status();
  }

  Status NewWritableFile(const std::string& name, uint32_t mode,
                         std::unique_ptr<WritableFile>* file) override {
    const int fd = ::openat(fd_.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) return Status::Error(path_ + name, errno);
    *file = std::make_unique<PosixWritableFile>(fd, path_ + name);
    return Status();
  }

  Status Rename(const std::string& from, const std::string& to) override {
    if (::renameat(fd_.get(), from.c_str(), fd_.get(), to.c_str()) != 0)
      return Status::Error(path_ + to, errno);
    return Status();
  }

  Status Remove(const std::string& name) override {
    if (::unlinkat(fd_.get(), name.c_str(), 0) != 0 && errno != ENOENT)
      return Status::Error(path_ + name, errno);
    return Status();
  }

  Status RemoveTree(const std::string& name) override { return RemoveTreeAt(fd_.get(), path_, name); }

  Status Sync() override {
    if (::fsync(fd_.get()) != 0) return Status::Error(path_, errno);
    return Status();
  }

  Status OpenDirectory(const std::string& name, bool own, std::unique_ptr<Directory>* dir) override {
    const std::string path = path_ + name;
    if (!own) {
      const int fd = ::openat(fd_.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (fd < 0) return Status::Error(path, errno);
      *dir = std::make_unique<PosixDirectory>(fd, path);
      return Status();
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
      if (::mkdirat(fd_.get(), name.c_str(), 0755) != 0 && errno != EEXIST) return Status::Error(path, errno);
      const int fd = ::openat(fd_.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (fd >= 0) {
        *dir = std::make_unique<PosixDirectory>(fd, path);
        return Status();
      }
      if (errno != ELOOP && errno != ENOTDIR) return Status::Error(path, errno);
      Status removed = RemoveTree(name);  // a link or a file where our directory belongs
      if (!removed.ok()) return removed;
    }
    return Status::Error(path, ELOOP);
  }

 private:
  // True when the file holds exactly `content`.
  static bool Holds(int fd, std::string_view content) {
    thread_local std::string old;
    old.resize(content.size());
    size_t done = 0;
    while (done < old.size()) {
      const ssize_t n = ::pread(fd, old.data() + done, old.size() - done, static_cast<off_t>(done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return std::memcmp(old.data(), content.data(), content.size()) == 0;
  }

  // Never leaves a half-old file behind.
  Status Fail(Fd& fd, const std::string& name, int error) {
    fd.reset();
    ::unlinkat(fd_.get(), name.c_str(), 0);
    return Status::Error(path_ + name, error);
  }

  static Status RemoveTreeAt(int parent, const std::string& parent_path, const std::string& name) {
    const std::string path = parent_path + name;
    struct stat st;
    if (::fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
      return errno == ENOENT ? Status() : Status::Error(path, errno);
    if (!S_ISDIR(st.st_mode)) {
      if (::unlinkat(parent, name.c_str(), 0) != 0 && errno != ENOENT) return Status::Error(path, errno);
      return Status();
    }
    {
      const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (fd < 0) return Status::Error(path, errno);
      PosixDirectory child(fd, path);
      std::vector<std::string> names;
      Status s = child.List(&names);
      for (size_t i = 0; s.ok() && i < names.size(); ++i) s = RemoveTreeAt(fd, child.path(), names[i]);
      if (!s.ok()) return s;
    }
    if (::unlinkat(parent, name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT)
      return Status::Error(path, errno);
    return Status();
  }

  Fd fd_;
  std::string path_;
};

class PosixEnv : public Env {
 public:
  Status OpenDirectory(const std::string& path, std::unique_ptr<Directory>* dir) override {
    const int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return Status::Error(path.empty() ? "." : path, errno);
    *dir = std::make_unique<PosixDirectory>(fd, path);
    return Status();
  }

  Status MakeDirectory(const std::string& path) override {
    if (::mkdir(path.c_str(), 0755) == 0) return Status();
    const int error = errno;
    struct stat st;
    if (error == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return Status();
    return Status::Error(path, error == EEXIST ? ENOTDIR : error);
  }

  Status Stat(const std::string& path, Follow follow, FileInfo* info) override {
    struct stat st;
    const int r = follow == Follow::kLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    if (r != 0) return Status::Error(path, errno);
    *info = ToInfo(st);
    return Status();
  }

  Status ReadFile(const std::string& path, std::string* out, uint64_t limit) override {
    out->clear();
    const Fd fd(::open(path.c_str(), kInputFlags));
    if (fd.get() < 0) return Status::Error(path, errno);
    return ReadOpened(fd.get(), path, out, limit);
  }

  Status NewSequentialFile(const std::string& path, std::unique_ptr<SequentialFile>* file) override {
    const int fd = ::open(path.c_str(), kInputFlags);
    if (fd < 0) return Status::Error(path, errno);
    return OpenSequential(fd, path, file);
  }

  Status MapFile(const std::string& path, std::unique_ptr<MappedFile>* file) override {
    const Fd fd(::open(path.c_str(), kInputFlags));
    if (fd.get() < 0) return Status::Error(path, errno);
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) return Status::Error(path, errno);
    if (!S_ISREG(st.st_mode)) return NotRegular(path);
    const auto size = static_cast<size_t>(st.st_size);
    void* base = nullptr;
    if (size > 0) {
      base = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd.get(), 0);
      if (base == MAP_FAILED) return Status::Error(path, errno);
    }
    *file = std::make_unique<PosixMappedFile>(base, size);
    return Status();
  }

  Status ReadStandardInput(std::string* out, uint64_t limit) override {
    out->clear();
    char buffer[1 << 16];
    for (;;) {
      const ssize_t n = ::read(0, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Status::Error("-", errno);
      if (n == 0) return Status();
      if (out->size() + static_cast<size_t>(n) > limit) {
        out->clear();
        return TooLarge("-", limit);
      }
      out->append(buffer, static_cast<size_t>(n));
    }
  }

  Status LockDirectory(const std::string& path, FileLock::Mode mode, bool wait,
                       std::unique_ptr<FileLock>* lock) override {
    Fd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) return Status::Error(path, errno);
    const int op = (mode == FileLock::Mode::kShared ? LOCK_SH : LOCK_EX) | (wait ? 0 : LOCK_NB);
    while (::flock(fd.get(), op) != 0) {
      if (errno != EINTR) return Status::Error(path, errno);
    }
    *lock = std::make_unique<PosixFileLock>(fd.release(), path);
    return Status();
  }

  Status FreeSpace(const std::string& path, uint64_t* bytes) override {
    struct statvfs st;
    if (::statvfs(path.c_str(), &st) != 0) return Status::Error(path, errno);
    *bytes = static_cast<uint64_t>(st.f_bavail) * static_cast<uint64_t>(st.f_frsize);
    return Status();
  }
};

}  // namespace

Env* Env::Default() {
  static Env* const env = new PosixEnv;
  return env;
}

void SplitPath(const std::string& path, std::string* dir, std::string* name) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    dir->clear();
    *name = path;
  } else {
    *dir = path.substr(0, slash + 1);
    *name = path.substr(slash + 1);
  }
}

Status OpenParent(Env& env, const std::string& path, std::unique_ptr<Directory>* dir, std::string* name) {
  std::string parent;
  SplitPath(path, &parent, name);
  if (name->empty()) return Status::Invalid(path, "no file name");
  return env.OpenDirectory(parent, dir);
}

}  // namespace store
