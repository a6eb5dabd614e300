// A temporary directory for the store's tests, removed with everything in it.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace store::testing {

class TestDir {
 public:
  TestDir() {
    char tmpl[] = "/tmp/store_test.XXXXXX";
    path_ = ::mkdtemp(tmpl);
  }
  ~TestDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string at(const std::string& rel) const { return path_ + "/" + rel; }
  void write(const std::string& rel, const std::string& content) const {
    std::ofstream(at(rel), std::ios::binary) << content;
  }
  std::string read(const std::string& rel) const {
    std::ifstream in(at(rel), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool exists(const std::string& rel) const {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(at(rel), ec));
  }

 private:
  std::string path_;
};

}  // namespace store::testing
