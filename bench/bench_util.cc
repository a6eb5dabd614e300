#include "bench/bench_util.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace bench {

std::string engine_binary() { return ENGINE_BINARY; }

std::string baseline_engine() {
  const char* path = std::getenv("BENCH_BASELINE_ENGINE");
  return path == nullptr ? "" : path;
}

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
  if (std::getenv("BENCH_KEEP_STORE") != nullptr) {
    std::printf("store kept: %s\n", root_.c_str());
    return;
  }
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void Store::write(const std::string& rel, const std::string& content) const {
  std::ofstream f(path(rel), std::ios::binary);
  f.write(content.data(), static_cast<std::streamsize>(content.size()));
}

Commands chunked(const std::vector<std::string>& head, const std::vector<std::string>& args,
                 size_t per_command) {
  Commands commands;
  for (size_t start = 0; start < args.size(); start += per_command) {
    commands.push_back(head);
    const size_t end = std::min(args.size(), start + per_command);
    commands.back().insert(commands.back().end(), args.begin() + static_cast<long>(start),
                           args.begin() + static_cast<long>(end));
  }
  return commands;
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
  if (pid > 0) ::waitpid(pid, &status, 0);
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
  if (pid < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return seconds;
}

namespace {

double children_cpu() {
  struct rusage u;
  ::getrusage(RUSAGE_CHILDREN, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

Timing time_once(const Commands& commands, const std::string& cwd) {
  Timing t{0, 0};
  const double cpu0 = children_cpu();
  for (const auto& argv : commands) {
    const double w = timed_run(argv, cwd);
    if (w < 0) return {};
    t.wall += w;
  }
  t.cpu = children_cpu() - cpu0;
  return t;
}

Timing best(int repeats, const Commands& commands, const std::string& cwd) {
  Timing b;
  for (int i = 0; i < repeats; ++i) {
    const Timing t = time_once(commands, cwd);
    if (t.wall >= 0 && (b.wall < 0 || t.wall < b.wall)) b = t;
  }
  return b;
}

std::vector<Timing> in_turns(int rounds, const std::vector<Timed>& groups, const Timed* after) {
  std::vector<Timing> b(groups.size());
  const auto run = [&](size_t g) {
    const Timing t = time_once(groups[g].commands, groups[g].cwd);
    if (t.wall >= 0 && (b[g].wall < 0 || t.wall < b[g].wall)) b[g] = t;
  };
  for (int r = 0; r < rounds; ++r) {
    if (groups.size() == 1) run(0);
    for (size_t k = 1; k < groups.size(); ++k) {
      run(0);
      run(1 + (k - 1 + static_cast<size_t>(r)) % (groups.size() - 1));
    }
    if (after != nullptr) time_once(after->commands, after->cwd);
  }
  return b;
}

void show(const std::string& label, const Timing& t, const Timing* reference,
          const std::string& reference_label) {
  if (reference != nullptr && reference->wall > 0 && t.wall >= 0) {
    std::printf("%-54s %7.3f s wall (%.2fx %s)   %7.3f s cpu (%.2fx %s)\n", label.c_str(), t.wall,
                t.wall / reference->wall, reference_label.c_str(), t.cpu,
                reference->cpu > 0 ? t.cpu / reference->cpu : 0.0, reference_label.c_str());
  } else {
    std::printf("%-54s %7.3f s wall                %7.3f s cpu\n", label.c_str(), t.wall, t.cpu);
  }
  std::fflush(stdout);
}

bool target(const std::string& what, double value, double limit, const std::string& unit, bool at_least) {
  const bool met = value >= 0 && (at_least ? value >= limit : value <= limit);
  std::printf("  target  %-56s %9.3f %-3s (%s %g %s)  %s\n", what.c_str(), value, unit.c_str(),
              at_least ? "at least" : "at most", limit, unit.c_str(), met ? "met" : "MISSED");
  std::fflush(stdout);
  return met;
}

void show_load(const std::string& when) {
  double a[3] = {-1, -1, -1};
  if (FILE* f = std::fopen("/proc/loadavg", "r")) {
    if (std::fscanf(f, "%lf %lf %lf", &a[0], &a[1], &a[2]) != 3) a[0] = a[1] = a[2] = -1;
    std::fclose(f);
  }
  std::printf("machine load %s: %.2f %.2f %.2f (1, 5, 15 min) on %ld cores\n", when.c_str(), a[0], a[1], a[2],
              ::sysconf(_SC_NPROCESSORS_ONLN));
  std::fflush(stdout);
}

double thread_cpu() {
  struct timespec ts;
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

size_t file_size(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? static_cast<size_t>(st.st_size) : 0;
}

}  // namespace bench
