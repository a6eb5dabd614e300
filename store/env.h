// Every file operation of the system goes through an Env: reading whole
// files, writing our own working files, staging and renaming base files,
// listing, removing, locking and mapping. Production code uses
// Env::Default(); tests wrap it in a FaultEnv (fault_env.h) to make chosen
// calls fail.
//
// Two rules hold for everything the system writes or removes:
//  - Own files and directories (scratch space, staged base files, temporary
//    descriptors) are reached through Directory handles and never through a
//    symbolic link: a link found where one of them belongs is removed and
//    replaced by a real file or directory.
//  - Inputs (queries, corpus entries, the configuration, bases) are opened
//    without blocking and must be regular files once opened; anything else
//    (a FIFO, a device, a directory) is refused like an unreadable file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/status.h"

namespace store {

struct FileInfo {
  enum class Type { kRegular, kDirectory, kSymlink, kOther };
  Type type = Type::kOther;
  uint64_t size = 0;
  uint32_t mode = 0;   // permission bits
  uint64_t links = 0;  // hard links
};

enum class Follow { kLinks, kNoLinks };

inline constexpr uint64_t kNoLimit = UINT64_MAX;

// A file read from start to end in pieces (sounds are described as they are
// read, never held whole).
class SequentialFile {
 public:
  virtual ~SequentialFile() = default;
  // The size fstat gave when the file was opened.
  virtual uint64_t size() const = 0;
  // Reads up to `n` bytes into `scratch`; `*got` is 0 at the end.
  virtual Status Read(size_t n, char* scratch, size_t* got) = 0;
};

// A new file being written; nothing is durable before Sync.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  virtual Status Append(std::string_view data) = 0;
  virtual Status Sync() = 0;
  virtual Status Close() = 0;
};

// A read-only view of a whole file for as long as the object lives.
class MappedFile {
 public:
  virtual ~MappedFile() = default;
  virtual std::string_view data() const = 0;
};

// An advisory lock; released when destroyed.
class FileLock {
 public:
  enum class Mode { kShared, kExclusive };
  virtual ~FileLock() = default;
  // Converts the lock, waiting as long as needed.
  virtual Status Change(Mode mode) = 0;
};

struct WriteOptions {
  uint32_t mode = 0644;  // permission bits of the file (the umask still applies)
  // Rewrite an existing plain file in place, and leave it alone when it holds
  // these bytes already, rather than making a new file: much cheaper for the
  // thousands of scratch files an indexation refreshes.
  bool reuse = false;
};

// An open directory; names given to it are single path components.
class Directory {
 public:
  virtual ~Directory() = default;
  // The path it was opened by, ending in "/" ("" for the working
  // directory), for messages.
  virtual const std::string& path() const = 0;

  // Names of the entries, "." and ".." left out, in no particular order.
  virtual Status List(std::vector<std::string>* names) = 0;
  virtual Status Stat(const std::string& name, Follow follow, FileInfo* info) = 0;

  // Inputs: links followed, regular files only, at most `limit` bytes.
  virtual Status ReadFile(const std::string& name, std::string* out, uint64_t limit = kNoLimit) = 0;
  virtual Status NewSequentialFile(const std::string& name, std::unique_ptr<SequentialFile>* file) = 0;
  // Opens `name` as an input is opened, and closes it: whether it can be read.
  virtual Status CheckInput(const std::string& name) = 0;

  // Own files. Gives `name` exactly `content`; whatever stands there that is
  // not a plain file of ours (a link, a directory, a FIFO, a file with other
  // names) is removed first.
  virtual Status WriteFile(const std::string& name, std::string_view content,
                           const WriteOptions& options = {}) = 0;
  // Creates `name`, which must not exist (never through a link).
  virtual Status NewWritableFile(const std::string& name, uint32_t mode,
                                 std::unique_ptr<WritableFile>* file) = 0;
  virtual Status Rename(const std::string& from, const std::string& to) = 0;
  // Removes the entry itself (a link, never its target); a missing entry is
  // not an error.
  virtual Status Remove(const std::string& name) = 0;
  // Removes an entry and, for a real directory, everything below it.
  virtual Status RemoveTree(const std::string& name) = 0;
  // Makes renames and removals in this directory durable.
  virtual Status Sync() = 0;

  // Opens the subdirectory `name`. With `own`, it is one of our working
  // directories: made when missing, and a link or anything else standing
  // there is removed and replaced by a real directory.
  virtual Status OpenDirectory(const std::string& name, bool own,
                               std::unique_ptr<Directory>* dir) = 0;
};

class Env {
 public:
  virtual ~Env() = default;

  // The process's real file system. Never destroyed.
  static Env* Default();

  // Opens a directory of the store's layout (links followed); "" is the
  // working directory.
  virtual Status OpenDirectory(const std::string& path, std::unique_ptr<Directory>* dir) = 0;
  // Makes a directory when missing (an existing directory is fine).
  virtual Status MakeDirectory(const std::string& path) = 0;
  virtual Status Stat(const std::string& path, Follow follow, FileInfo* info) = 0;

  // Inputs: links followed, regular files only, at most `limit` bytes.
  virtual Status ReadFile(const std::string& path, std::string* out, uint64_t limit = kNoLimit) = 0;
  virtual Status NewSequentialFile(const std::string& path, std::unique_ptr<SequentialFile>* file) = 0;
  virtual Status MapFile(const std::string& path, std::unique_ptr<MappedFile>* file) = 0;
  // Reads standard input to its end; more than `limit` bytes is an error.
  virtual Status ReadStandardInput(std::string* out, uint64_t limit) = 0;

  // Locks the directory `path`. With `wait` false, a lock held elsewhere
  // gives a status whose code() is EWOULDBLOCK.
  virtual Status LockDirectory(const std::string& path, FileLock::Mode mode, bool wait,
                               std::unique_ptr<FileLock>* lock) = 0;

  // Bytes an unprivileged writer may still use on the file system of `path`.
  virtual Status FreeSpace(const std::string& path, uint64_t* bytes) = 0;
};

// Splits "dir/name" into the directory (with its "/", "" for none) and the
// last component.
void SplitPath(const std::string& path, std::string* dir, std::string* name);

// Opens the directory of `path` and hands back the last component: the usual
// way to reach an own file known by a full path.
Status OpenParent(Env& env, const std::string& path, std::unique_ptr<Directory>* dir,
                  std::string* name);

}  // namespace store
