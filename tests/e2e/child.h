// A built program run with what the harness does not offer: a standard
// input the test keeps open (a pipe, so the program waits at a prompt), a
// look at its output while it runs, and a limit on its address space.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace e2e {

// Waits for child `pid` until `deadline`, killing it past that (the test
// then fails); returns its exit status, or 128 + the signal that ended it.
inline int reap(pid_t pid, std::chrono::steady_clock::time_point deadline) {
  int status = 0;
  for (;;) {
    const pid_t w = ::waitpid(pid, &status, WNOHANG);
    if (w == pid) break;
    if (w < 0 || std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      ADD_FAILURE() << "the program did not end in time";
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

struct ChildOptions {
  std::string cwd;            // absolute
  int stdin_fd = -1;          // -1: /dev/null
  uint64_t address_space = 0; // bytes; 0: no limit
};

class Child {
 public:
  Child(const std::vector<std::string>& argv, const ChildOptions& options) {
    char tmpl[] = "/tmp/engine_child.XXXXXX";
    if (::mkdtemp(tmpl) == nullptr) {
      ADD_FAILURE() << "mkdtemp failed";
      return;
    }
    dir_ = tmpl;
    std::vector<std::string> args = argv;
    std::vector<char*> cargv;
    for (auto& a : args) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    const std::string out = dir_ + "/out", err = dir_ + "/err";
    std::fflush(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      const int in = options.stdin_fd >= 0 ? options.stdin_fd : ::open("/dev/null", O_RDONLY);
      const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (in < 0 || o < 0 || e < 0 || ::chdir(options.cwd.c_str()) != 0) ::_exit(127);
      if (options.address_space > 0) {
        const rlimit limit{options.address_space, options.address_space};
        if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(127);
      }
      ::dup2(in, 0);
      ::dup2(o, 1);
      ::dup2(e, 2);
      ::execv(cargv[0], cargv.data());
      ::_exit(127);
    }
  }

  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Standard output so far.
  std::string out() const { return slurp(dir_ + "/out"); }

  // Waits until standard output holds `text`, at most `seconds`.
  bool wait_for_output(const std::string& text, int seconds) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
      if (out().find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  // Waits for the end, at most `seconds`: past it the program is killed and
  // the test fails.
  Result wait(int seconds) {
    Result r;
    r.status = reap(pid_, std::chrono::steady_clock::now() + std::chrono::seconds(seconds));
    pid_ = -1;
    r.out = slurp(dir_ + "/out");
    r.err = slurp(dir_ + "/err");
    return r;
  }

 private:
  static std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
  }

  pid_t pid_ = -1;
  std::string dir_;
};

}  // namespace e2e
