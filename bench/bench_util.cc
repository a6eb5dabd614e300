#include "bench/bench_util.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace bench {

std::string engine_binary() { return ENGINE_BINARY; }

Store::Store() {
  char tmpl[] = "/tmp/engine_bench.XXXXXX";
  root_ = ::mkdtemp(tmpl);
  for (const char* d : {"EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes",
                        "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_RGB",
                        "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_NB",
                        "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_SON",
                        "EXTERN_FILES/database/base_texte", "EXTERN_FILES/database/base_image",
                        "EXTERN_FILES/database/base_son", "INDEXATION", "work"})
    fs::create_directories(path(d));
  write("EXTERN_FILES/configuration.config",
        "<txt>\ntxt_nboccurrences: 3\n</txt>\n\n<sound>\nechantillons: 2048\nnbintervalles: "
        "40\n</sound>\n\n<image>\nNbBit_NB: 4\nNbBit_RGB: 3\n</image>");
}

Store::~Store() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void Store::write(const std::string& rel, const std::string& content) const {
  std::ofstream f(path(rel), std::ios::binary);
  f.write(content.data(), static_cast<std::streamsize>(content.size()));
}

double timed_run(const std::vector<std::string>& argv, const std::string& cwd, std::string* out) {
  char tmpl[] = "/tmp/engine_bench_out.XXXXXX";
  const int out_fd = out ? ::mkstemp(tmpl) : ::open("/dev/null", O_WRONLY);
  std::vector<char*> args;
  std::vector<std::string> copy = argv;
  for (auto& a : copy) args.push_back(a.data());
  args.push_back(nullptr);
  std::fflush(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null_fd = ::open("/dev/null", O_RDWR);
    ::dup2(null_fd, 0);
    ::dup2(out_fd, 1);
    ::dup2(null_fd, 2);
    if (::chdir(cwd.c_str()) != 0) ::_exit(127);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (out) {
    std::ifstream f(tmpl, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    *out = s.str();
    ::unlink(tmpl);
  }
  ::close(out_fd);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return seconds;
}

double best_of(int repeats, const std::vector<std::string>& argv, const std::string& cwd) {
  double best = -1;
  for (int i = 0; i < repeats; ++i) {
    const double t = timed_run(argv, cwd);
    if (t >= 0 && (best < 0 || t < best)) best = t;
  }
  return best;
}

void report(const std::string& label, double seconds, double reference,
            const std::string& reference_label) {
  if (reference > 0) {
    std::printf("%-44s %9.3f s   (%.2fx %s)\n", label.c_str(), seconds, seconds / reference,
                reference_label.c_str());
  } else {
    std::printf("%-44s %9.3f s\n", label.c_str(), seconds);
  }
  std::fflush(stdout);
}

}  // namespace bench
