// What a person at a terminal sees on standard error and a front-end never
// does: the advance of an indexation, redrawn in place, and a word when a
// request waits for another's store lock. Standard error is a
// pseudo-terminal here; standard output stays a file, as a front-end has it.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/child.h"
#include "tests/e2e/corpus_gen.h"
#include "tests/e2e/harness.h"

using e2e::Result;
using e2e::Store;

namespace {

// One run of the engine whose standard error is a terminal (raw, so its
// bytes arrive unchanged) and standard output a file.
class TerminalRun {
 public:
  TerminalRun(const Store& s, const std::vector<std::string>& words) : out_path_(s.path("terminal_run.out")) {
    std::vector<std::string> argv_s = {e2e::engine_binary()};
    argv_s.insert(argv_s.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (auto& a : argv_s) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string cwd = s.path("work");
    termios raw{};
    ::cfmakeraw(&raw);
    winsize size{24, 80, 0, 0};
    int slave = -1;
    if (::openpty(&master_, &slave, nullptr, &raw, &size) != 0) {
      ADD_FAILURE() << "openpty failed";
      return;
    }
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);  // other programs the test starts never hold it
    std::fflush(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      const int in = ::open("/dev/null", O_RDONLY);
      const int out = ::open(out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (in < 0 || out < 0 || ::chdir(cwd.c_str()) != 0) ::_exit(127);
      ::setsid();
      ::dup2(in, 0);
      ::dup2(out, 1);
      ::dup2(slave, 2);
      ::close(master_);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(slave);
  }

  ~TerminalRun() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
  }
  TerminalRun(const TerminalRun&) = delete;
  TerminalRun& operator=(const TerminalRun&) = delete;

  // Reads the terminal until it holds `text` or `seconds` pass.
  bool waitFor(const std::string& text, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (terminal_.find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() > deadline || !readSome(100)) return false;
    }
    return true;
  }

  // Reads the terminal to its end and waits for the program.
  Result finish(int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline && readSome(100)) {
    }
    Result r;
    r.status = e2e::reap(pid_, deadline);
    pid_ = -1;
    r.err = terminal_;
    std::ifstream f(out_path_, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    r.out = o.str();
    std::remove(out_path_.c_str());
    return r;
  }

 private:
  // False at the end of the terminal's output (every writer gone).
  bool readSome(int timeout_ms) {
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, timeout_ms) <= 0) return true;  // nothing yet
    char buf[4096];
    const ssize_t n = ::read(master_, buf, sizeof buf);
    if (n <= 0) return false;  // EIO once the last writer closed it
    terminal_.append(buf, static_cast<size_t>(n));
    return true;
  }

  std::string out_path_;
  int master_ = -1;
  pid_t pid_ = -1;
  std::string terminal_;
};

// Holds the store lock as a request does, until destroyed.
class HeldLock {
 public:
  explicit HeldLock(const Store& s) : fd_(::open(s.path("EXTERN_FILES").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    EXPECT_GE(fd_, 0);
    EXPECT_EQ(::flock(fd_, LOCK_EX), 0);
  }
  ~HeldLock() { release(); }
  void release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

const std::regex kProgressPiece("\r(texte|image|son) : [^\r\n]*\x1b\\[K\n?");

void addCorpus(const Store& s) {
  e2e::CorpusSize size;
  size.texts = 30;
  size.words_per_text = 400;
  size.images = 6;
  size.image_side = 24;
  size.sounds = 3;
  size.sound_seconds = 1;
  e2e::generate_corpus(s, size, 11);
}

}  // namespace

TEST(TerminalProgress, IndexationDrawsItsAdvanceOnATerminalOnly) {
  Store s;
  addCorpus(s);
  TerminalRun terminal(s, {"indexation"});
  const Result shown = terminal.finish(60);
  const Result piped = s.engine({"indexation"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  ASSERT_EQ(piped.status, 0) << piped.err;

  // Standard output is the same bytes whatever standard error is.
  EXPECT_EQ(shown.out, piped.out);
  EXPECT_NE(shown.out.find("Le fichier son00000.bin"), std::string::npos) << shown.out;
  // Piped, not one byte of advance.
  EXPECT_EQ(piped.err, "");

  // On the terminal: each medium drawn in place from its first items (the
  // workers may count a few before the first line is drawn), then summed up
  // on a line of its own, in the order the media are indexed.
  std::string rest = shown.err;
  for (const auto& [label, items] : std::vector<std::pair<std::string, int>>{{"texte", 30}, {"image", 6}, {"son", 3}}) {
    const std::string n = std::to_string(items);
    std::smatch drawn, summed;
    ASSERT_TRUE(std::regex_search(rest, drawn, std::regex("\r" + label + " : [0-9]+/" + n + "[,\x1b]")))
        << label << "\n" << shown.err;
    ASSERT_TRUE(std::regex_search(rest, summed,
                                  std::regex("\r" + label + " : " + n +
                                             " fichiers en [0-9]+\\.[0-9] s \\([0-9]+\\.[0-9] Mo/s\\)\x1b\\[K\n")))
        << label << "\n" << shown.err;
    EXPECT_LT(drawn.position(0), summed.position(0)) << label;
    rest = summed.suffix();
  }
  // Nothing else is written there.
  EXPECT_EQ(std::regex_replace(shown.err, kProgressPiece, ""), "") << shown.err;
}

TEST(TerminalProgress, AWaitForTheStoreLockIsToldOnATerminalOnly) {
  Store s;
  s.write(std::string(e2e::kTexts) + "a.xml", "<p>maison maison maison</p>");
  ASSERT_EQ(s.engine({"indexation"}).status, 0);
  s.write("q.txt", "maison");
  const std::string busy = "engine: magasin occupé par une autre requête : attente de son tour…\n";
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"indexation"}, {"classement", "texte", "../q.txt"}, {"recherche", "maison"}}) {
    {
      HeldLock lock(s);
      TerminalRun terminal(s, words);
      // Told while it waits, once.
      EXPECT_TRUE(terminal.waitFor(busy, 30)) << words[0];
      lock.release();
      const Result r = terminal.finish(60);
      EXPECT_EQ(r.status, 0) << words[0];
      EXPECT_EQ(std::regex_replace(r.err, kProgressPiece, ""), busy) << words[0];
    }
    {
      HeldLock lock(s);
      e2e::Running running = s.start(e2e::engine_binary(), words);
      std::this_thread::sleep_for(std::chrono::seconds(1));
      lock.release();
      const Result r = Store::finish(running);
      EXPECT_EQ(r.status, 0) << words[0];
      EXPECT_EQ(r.err, "") << words[0];
    }
  }
}
