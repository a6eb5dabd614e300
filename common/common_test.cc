#include <locale.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/listing.h"
#include "common/output.h"
#include "common/numbers.h"
#include "common/parallel.h"
#include "common/tokens.h"
#include "common/utf8.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> all_tokens(std::string_view data) {
  tokens::Reader r(data);
  std::vector<std::string> out;
  std::string_view t;
  while (r.next(t)) out.emplace_back(t);
  return out;
}

class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/common_test.XXXXXX";
    path_ = ::mkdtemp(tmpl);
  }
  ~TempDir() { fs::remove_all(path_); }
  const std::string& path() const { return path_; }
  void write(const std::string& name, const std::string& content) const {
    std::ofstream(path_ + "/" + name, std::ios::binary) << content;
  }

 private:
  std::string path_;
};

}  // namespace

TEST(Tokens, SplitsOnTheSixWhiteSpaceBytesOnly) {
  EXPECT_EQ(all_tokens(" a\tb\nc\vd\fe\rf  "),
            (std::vector<std::string>{"a", "b", "c", "d", "e", "f"}));
  // Bytes of 0x80 and above, and other control bytes, belong to tokens.
  EXPECT_EQ(all_tokens("\xc3\xa9t\xc3\xa9 x\x01y"),
            (std::vector<std::string>{"\xc3\xa9t\xc3\xa9", "x\x01y"}));
  EXPECT_TRUE(all_tokens("").empty());
  EXPECT_TRUE(all_tokens(" \n\t ").empty());
}

TEST(Tokens, HasNoLengthLimit) {
  const std::string big(5 << 20, 'z');
  const auto t = all_tokens("a " + big + " b");
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[1].size(), big.size());
}

TEST(Numbers, LeadingLongReadsLikeAtol) {
  EXPECT_EQ(numbers::leading_long("3"), 3);
  EXPECT_EQ(numbers::leading_long("5x"), 5);
  EXPECT_EQ(numbers::leading_long("  -12;"), -12);
  EXPECT_EQ(numbers::leading_long("+7"), 7);
  EXPECT_EQ(numbers::leading_long("x5"), 0);
  EXPECT_EQ(numbers::leading_long("-"), 0);
  EXPECT_EQ(numbers::leading_long(""), 0);
  EXPECT_EQ(numbers::leading_long("99999999999999999999999"), INT64_MAX);
  EXPECT_EQ(numbers::leading_long("-99999999999999999999999"), INT64_MIN);
  EXPECT_EQ(numbers::leading_int("99999999999"), INT32_MAX);
}

TEST(Numbers, Base0FollowsStrtol) {
  size_t used = 0;
  EXPECT_EQ(numbers::parse_base0("0x1f", &used), 31);
  EXPECT_EQ(used, 4u);
  EXPECT_EQ(numbers::parse_base0("010", &used), 8);
  EXPECT_EQ(numbers::parse_base0("0x0f:", &used), 15);
  EXPECT_EQ(used, 4u);
  EXPECT_EQ(numbers::parse_base0("-12", &used), -12);
  EXPECT_EQ(numbers::parse_base0("09", &used), 0);  // 9 is no octal digit
  EXPECT_EQ(used, 1u);
  EXPECT_EQ(numbers::parse_base0("0x", &used), 0);  // "0" then a stray x
  EXPECT_EQ(used, 1u);
  EXPECT_EQ(numbers::parse_base0("abc", &used), 0);
  EXPECT_EQ(used, 0u);
  EXPECT_EQ(numbers::parse_base0("-", &used), 0);
  EXPECT_EQ(used, 0u);
}

namespace {

listing::Result List(const std::string& dir, const std::string& suffix, output::StringSink* sink,
                     locale_t collation = nullptr) {
  const store::Store store(store::Env::Default(), "", collation);
  return listing::list_corpus(store, dir, {suffix, true}, *sink);
}

}  // namespace

TEST(Listing, KeepsVisibleRegularFilesWithTheSuffixInByteOrder) {
  TempDir d;
  for (const char* n : {"b.bin", "a.bin", "B.bin", "cabinet.txt", ".hidden.bin", "z.bin.old"})
    d.write(n, "x");
  fs::create_directory(d.path() + "/sub.bin");
  d.write("with space.bin", "x");
  output::StringSink sink;
  const auto r = List(d.path() + "/", ".bin", &sink);
  EXPECT_TRUE(r.directory_opened);
  EXPECT_EQ(r.names, (std::vector<std::string>{"B.bin", "a.bin", "b.bin"}));
  ASSERT_EQ(r.refused.size(), 2u);
  EXPECT_EQ(r.refused[0].name, "sub.bin");
  EXPECT_EQ(r.refused[0].why, listing::Refusal::Why::kNotRegular);
  EXPECT_EQ(r.refused[1].name, "with space.bin");
  EXPECT_EQ(r.refused[1].why, listing::Refusal::Why::kSpace);
  EXPECT_EQ(sink.err_text(), "engine: " + d.path() + "/sub.bin : pas un fichier ordinaire, ignoré\n" +
                                 "engine: " + d.path() + "/with space.bin : nom contenant un blanc, fichier ignoré\n");
}

TEST(Listing, FollowsSymbolicLinksAndRefusesDanglingOnesAndFifos) {
  TempDir d;
  d.write("real.txt", "x");
  fs::create_symlink(d.path() + "/real.txt", d.path() + "/link.txt");
  fs::create_symlink(d.path() + "/nowhere", d.path() + "/dangling.txt");
  ASSERT_EQ(::mkfifo((d.path() + "/pipe.txt").c_str(), 0600), 0);
  output::StringSink sink;
  const auto r = List(d.path() + "/", "", &sink);
  EXPECT_EQ(r.names, (std::vector<std::string>{"link.txt", "real.txt"}));
  ASSERT_EQ(r.refused.size(), 2u);
  EXPECT_EQ(r.refused[0].name, "dangling.txt");
  EXPECT_EQ(r.refused[0].why, listing::Refusal::Why::kUnreadable);
  EXPECT_EQ(r.refused[1].name, "pipe.txt");
  EXPECT_EQ(r.refused[1].why, listing::Refusal::Why::kNotRegular);
}

TEST(Listing, MissingDirectoryListsNothingWithOneLine) {
  output::StringSink sink;
  const auto r = List("/nonexistent/dir/", "", &sink);
  EXPECT_FALSE(r.directory_opened);
  EXPECT_TRUE(r.names.empty());
  EXPECT_EQ(sink.err_text(), "engine: impossible de lister le répertoire /nonexistent/dir/\n");
}

TEST(Listing, SortsByCollationThenBytes) {
  std::vector<std::string> names{"b", "a", "A", "_x", "10", "9"};
  listing::sort_like_ls(names, nullptr);
  EXPECT_EQ(names, (std::vector<std::string>{"10", "9", "A", "_x", "a", "b"}));
  const locale_t french = ::newlocale(LC_COLLATE_MASK, "fr_FR.UTF-8", nullptr);
  if (french == nullptr) GTEST_SKIP() << "no fr_FR.UTF-8 locale here";
  names = {"b", "a", "B", "\xc3\xa9", "e"};
  listing::sort_like_ls(names, french);
  ::freelocale(french);
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "B", "e", "\xc3\xa9"}));
}

TEST(Output, PrintableEscapesControlBytes) {
  EXPECT_EQ(output::printable("a\nb\tc\x01\\\xc3\xa9"), "a\\nb\\tc\\x01\\\\\xc3\xa9");
}

TEST(Parallel, RunsEveryIndexOnce) {
  std::vector<std::atomic<int>> hits(1000);
  parallel::for_each_index(hits.size(), [&](size_t i) { hits[i]++; }, 4);
  for (auto& h : hits) EXPECT_EQ(h.load(), 1);
  parallel::for_each_index(0, [&](size_t) { FAIL(); });
}

TEST(Parallel, AJobsExceptionReachesTheCaller) {
  // On the caller's thread and on a worker alike (a worker that let it go
  // would end the process).
  for (const unsigned threads : {1u, 4u}) {
    EXPECT_THROW(parallel::for_each_index(
                     1000, [&](size_t i) { if (i % 100 == 10) throw std::bad_alloc(); }, threads),
                 std::bad_alloc)
        << threads;
  }
}

TEST(Utf8, ValidatesAndFallsBackToLatin1) {
  EXPECT_TRUE(utf8::valid("plain \xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb5"));
  EXPECT_FALSE(utf8::valid("\xe9t\xe9"));          // Latin-1
  EXPECT_FALSE(utf8::valid("\xc0\xaf"));           // overlong
  EXPECT_FALSE(utf8::valid("\xed\xa0\x80"));       // surrogate
  EXPECT_FALSE(utf8::valid("\xf4\x90\x80\x80"));   // above U+10FFFF
  EXPECT_FALSE(utf8::valid("\xc3"));               // cut short
  EXPECT_EQ(utf8::as_utf8("\xe9t\xe9"), "\xc3\xa9t\xc3\xa9");
  EXPECT_EQ(utf8::as_utf8("d\xc3\xa9j\xc3\xa0"), "d\xc3\xa9j\xc3\xa0");
}

TEST(Parallel, NoThreadToBeHadLeavesTheWorkToTheCaller) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit leaves";
#else
  // In a child, an address space too tight for another thread's stack.
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::vector<int> done(64, 0);
    long pages = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
      std::fclose(f);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (2u << 20);
    const struct rlimit rl = {limit, limit};
    if (pages == 0 || ::setrlimit(RLIMIT_AS, &rl) != 0) ::_exit(3);
    try {
      parallel::for_each_index(done.size(), [&](size_t i) { done[i] = 1; }, 8);
    } catch (...) {
      ::_exit(2);
    }
    for (const int d : done)
      if (d != 1) ::_exit(1);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}
