#include "tests/e2e/harness.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

extern char** environ;

namespace fs = std::filesystem;

namespace e2e {

const char kDefaultConfig[] =
    "<txt>\ntxt_nboccurrences: 3\n</txt>\n\n<sound>\nechantillons: 2048\nnbintervalles: 40\n"
    "</sound>\n\n<image>\nNbBit_NB: 4\nNbBit_RGB: 3\n</image>";

std::string inStore(std::string_view from_work) {
  if (from_work.substr(0, 3) == "../") from_work.remove_prefix(3);
  return std::string(from_work);
}

std::string engine_binary() { return ENGINE_BINARY; }
std::string wordprobe_binary() { return WORDPROBE_BINARY; }

Store::Store(bool with_config) {
  char tmpl[] = "/tmp/engine_e2e.XXXXXX";
  const char* made = ::mkdtemp(tmpl);
  if (made == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = made;
  for (const char* dir : {kTexts, kRgb, kNb, kSounds, kTextBase, kImageBase, kSoundBase})
    fs::create_directories(path(dir));
  fs::create_directories(path("INDEXATION"));
  fs::create_directories(path("work"));
  if (with_config) write(kConfig, kDefaultConfig);
}

Store::~Store() {
  std::error_code ec;
  // Restore permissions that a test may have removed, so everything goes.
  for (auto it = fs::recursive_directory_iterator(root_, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::error_code ignored;
    if (it->is_directory(ignored) && !it->is_symlink(ignored))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(root_, ec);
}

std::string Store::path(std::string_view rel) const { return root_ + "/" + std::string(rel); }

void Store::write(std::string_view rel, std::string_view content) const {
  const fs::path p = path(rel);
  fs::create_directories(p.parent_path());
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!f) ADD_FAILURE() << "cannot write " << p;
}

std::string Store::read(std::string_view rel) const {
  std::ifstream f(path(rel), std::ios::binary);
  if (!f) {
    ADD_FAILURE() << "missing file " << rel;
    return "";
  }
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

bool Store::exists(std::string_view rel) const {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path(rel), ec));
}

void Store::remove(std::string_view rel) const {
  std::error_code ec;
  fs::remove_all(path(rel), ec);
}

std::vector<std::string> Store::list(std::string_view rel) const {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(path(rel), ec)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

Result Store::engine(const std::vector<std::string>& args, const RunOptions& options) const {
  return run(engine_binary(), args, options);
}

namespace {

std::string slurp(const std::string& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

bool is_locale_variable(const char* entry) {
  return std::strncmp(entry, "LANG=", 5) == 0 || std::strncmp(entry, "LC_", 3) == 0 ||
         std::strncmp(entry, "LANGUAGE=", 9) == 0;
}

}  // namespace

Result Store::run(const std::string& program, const std::vector<std::string>& args,
                  const RunOptions& options) const {
  Running r = start(program, args, options);
  return finish(r);
}

namespace {

// Words of E2E_WRAPPER, for the engine's own programs only.
std::vector<std::string> wrapper_for(const std::string& program) {
  std::vector<std::string> words;
  const char* w = std::getenv("E2E_WRAPPER");
  if (w == nullptr || (program != engine_binary() && program != wordprobe_binary())) return words;
  std::istringstream in(w);
  std::string word;
  while (in >> word) words.push_back(word);
  // Resolved here, with the test's own PATH: a test may give the child a PATH
  // that does not hold the wrapper.
  if (!words.empty() && words[0].find('/') == std::string::npos) {
    std::istringstream dirs(std::getenv("PATH") ? std::getenv("PATH") : "");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
      const std::string candidate = dir + "/" + words[0];
      if (::access(candidate.c_str(), X_OK) == 0) {
        words[0] = candidate;
        break;
      }
    }
  }
  return words;
}

}  // namespace

Running Store::start(const std::string& program, const std::vector<std::string>& args,
                     const RunOptions& options) const {
  Running running;
  running.program = program;
  running.options = options;
  char tmpl[] = "/tmp/engine_run.XXXXXX";
  const char* made = ::mkdtemp(tmpl);
  if (made == nullptr) {
    ADD_FAILURE() << "mkdtemp failed";
    return running;
  }
  running.io_dir = made;
  const std::string in_path = running.io_dir + "/in", out_path = running.io_dir + "/out",
                    err_path = running.io_dir + "/err";
  {
    std::ofstream f(in_path, std::ios::binary);
    f << options.stdin_data;
  }

  // The child sees the test's environment without locale settings (so the C
  // locale applies), plus the requested entries, which replace same-named ones.
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (is_locale_variable(*e)) continue;
    const std::string entry = *e;
    const std::string key = entry.substr(0, entry.find('=') + 1);
    const bool replaced = std::any_of(options.env.begin(), options.env.end(), [&](const auto& x) {
      return x.compare(0, key.size(), key) == 0;
    });
    if (!replaced) env.push_back(entry);
  }
  env.insert(env.end(), options.env.begin(), options.env.end());
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  std::vector<std::string> argv_s = wrapper_for(program);
  argv_s.push_back(program);
  argv_s.insert(argv_s.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argv_s) argv.push_back(a.data());
  argv.push_back(nullptr);

  const std::string cwd = path(options.cwd.empty() ? "work" : options.cwd);
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in = ::open(in_path.c_str(), O_RDONLY);
    const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || ::chdir(cwd.c_str()) != 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    // The wrapper (if any) is found on PATH; the programs are absolute paths.
    ::execvpe(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  running.pid = pid;
  return running;
}

Result Store::finish(Running& running) {
  Result result;
  if (running.pid < 0) return result;
  int wstatus = 0;
  const auto begin = std::chrono::steady_clock::now();
  const auto deadline = begin + std::chrono::seconds(running.options.timeout_seconds);
  const bool kill_planned = running.options.kill_after_ms >= 0;
  const auto kill_at = begin + std::chrono::milliseconds(std::max(0, running.options.kill_after_ms));
  for (;;) {
    const pid_t w = ::waitpid(running.pid, &wstatus, WNOHANG);
    if (w == running.pid) break;
    const auto now = std::chrono::steady_clock::now();
    if (kill_planned && now >= kill_at) {
      ::kill(running.pid, SIGKILL);
      ::waitpid(running.pid, &wstatus, 0);
      break;
    }
    if (now > deadline) {
      ::kill(running.pid, SIGKILL);
      ::waitpid(running.pid, &wstatus, 0);
      ADD_FAILURE() << running.program << " timed out";
      break;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(kill_planned ? 200 : 2000));
  }
  running.pid = -1;
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  result.out = slurp(running.io_dir + "/out");
  result.err = slurp(running.io_dir + "/err");
  std::error_code ec;
  fs::remove_all(running.io_dir, ec);
  return result;
}

}  // namespace e2e
