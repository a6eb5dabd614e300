// One data store as a request sees it: the Env its files are reached
// through, the working directory that the layout's relative paths
// ("../EXTERN_FILES/...") start from, and the collation its listings sort
// by. Nothing here is process-wide, so a server can serve several stores,
// and several requests on each, at once.
#pragma once

#include <locale.h>

#include <string>
#include <string_view>

#include "store/env.h"

namespace store {

class Store {
 public:
  // `workdir` "" is the process's working directory. `collation` orders
  // listings as `ls` does (strcoll_l); (locale_t)0 orders them by bytes.
  // Both `env` and `collation` must outlive the store.
  explicit Store(Env* env, std::string workdir = "", locale_t collation = nullptr)
      : env_(env), workdir_(std::move(workdir)), collation_(collation) {}

  Env& env() const { return *env_; }
  const std::string& workdir() const { return workdir_; }
  locale_t collation() const { return collation_; }

  // The path of a layout entry, or of any path a request names, given
  // relative to the working directory (absolute paths are kept).
  std::string path(std::string_view relative) const {
    if (workdir_.empty() || (!relative.empty() && relative[0] == '/')) return std::string(relative);
    std::string p = workdir_;
    if (p.back() != '/') p += '/';
    p += relative;
    return p;
  }

 private:
  Env* env_;
  std::string workdir_;
  locale_t collation_;
};

}  // namespace store
