// The outcome of a file operation: success, or the path it failed on and
// why (an errno value, or a reason of our own such as "not a regular file").
#pragma once

#include <string>

namespace store {

class Status {
 public:
  Status() = default;  // success

  // A system call failed on `path` with errno `code`.
  static Status Error(std::string path, int code);
  // The file at `path` cannot be used, for a reason that is not an errno.
  static Status Invalid(std::string path, std::string reason);

  bool ok() const { return code_ == 0 && reason_.empty(); }
  // The errno value, 0 for success and for reasons of our own.
  int code() const { return code_; }
  const std::string& path() const { return path_; }
  // The cause alone: strerror's English text, or our reason.
  std::string cause() const;
  // "path : cause", the form our diagnostics show.
  std::string ToString() const;

 private:
  int code_ = 0;
  std::string path_;
  std::string reason_;
};

}  // namespace store
