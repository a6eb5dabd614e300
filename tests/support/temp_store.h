// A data store in a fresh temporary directory, for unit tests that run a
// request's driver in-process: the layout's directories, the default
// configuration, and a store::Store whose working directory is its "work".
#pragma once

#include <string>
#include <string_view>

#include "store/env.h"
#include "store/fault_env.h"
#include "store/store.h"

namespace testing_support {

class TempStore {
 public:
  explicit TempStore(bool with_config = true);
  ~TempStore();
  TempStore(const TempStore&) = delete;
  TempStore& operator=(const TempStore&) = delete;

  const std::string& root() const { return root_; }
  // A store-relative path ("EXTERN_FILES/...") made absolute.
  std::string path(std::string_view rel) const;
  // The store as a request sees it, through `env` (default: the real one).
  store::Store store(store::Env* env = store::Env::Default()) const;

  void write(std::string_view rel, std::string_view content) const;  // makes parents
  std::string read(std::string_view rel) const;                      // "" when missing
  bool exists(std::string_view rel) const;

 private:
  std::string root_;
};

}  // namespace testing_support
