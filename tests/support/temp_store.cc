#include "tests/support/temp_store.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "common/config.h"

namespace fs = std::filesystem;

namespace testing_support {

TempStore::TempStore(bool with_config) {
  char tmpl[] = "/tmp/engine_unit.XXXXXX";
  const char* made = ::mkdtemp(tmpl);
  if (made == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = made;
  for (const char* dir :
       {"EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes", "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_RGB",
        "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_NB", "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_SON",
        "EXTERN_FILES/database/base_texte", "EXTERN_FILES/database/base_image", "EXTERN_FILES/database/base_son",
        "INDEXATION", "work"})
    fs::create_directories(path(dir));
  if (with_config) write("EXTERN_FILES/configuration.config", config::kDefault);
}

TempStore::~TempStore() {
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    std::error_code ignored;
    if (it->is_directory(ignored) && !it->is_symlink(ignored))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(root_, ec);
}

std::string TempStore::path(std::string_view rel) const { return root_ + "/" + std::string(rel); }

store::Store TempStore::store(store::Env* env) const { return store::Store(env, path("work")); }

void TempStore::write(std::string_view rel, std::string_view content) const {
  const fs::path p = path(rel);
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << content;
}

std::string TempStore::read(std::string_view rel) const {
  std::ifstream in(path(rel), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool TempStore::exists(std::string_view rel) const {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path(rel), ec));
}

}  // namespace testing_support
