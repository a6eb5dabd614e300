// One request at a time per data store: the engine holds an exclusive
// advisory lock on the store's root directory for its whole run, so a second
// request waits for the first. No file is added to the store for it.
#pragma once

#include <string>

namespace store_lock {

class Lock {
 public:
  // Blocks until the lock on `dir` is held. A directory that cannot be opened
  // gives no lock (the request then fails on its own files).
  explicit Lock(const std::string& dir);
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace store_lock
