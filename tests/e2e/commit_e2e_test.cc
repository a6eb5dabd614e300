// Each medium's base files change as one group whatever the moment a kill
// lands: an indexation is killed at every rename, fsync and unlink it makes
// (strace's fault injection), and every request after it must find each
// medium all old or all new.
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/corpus_gen.h"
#include "tests/e2e/harness.h"

using e2e::Result;
using e2e::Store;

namespace {

using Snapshot = std::map<std::string, std::string>;

const char* const kBaseDirs[] = {e2e::kTextBase, e2e::kImageBase, e2e::kSoundBase};

// The visible files of one base directory, with their bytes.
Snapshot group(const Store& s, const char* dir) {
  Snapshot snap;
  for (const auto& name : s.list(dir))
    if (name[0] != '.') snap[name] = s.read(std::string(dir) + name);
  return snap;
}

std::map<std::string, Snapshot> bases(const Store& s) {
  std::map<std::string, Snapshot> all;
  for (const char* dir : kBaseDirs) all[dir] = group(s, dir);
  return all;
}

void restore(const Store& s, const std::map<std::string, Snapshot>& snap) {
  for (const char* dir : kBaseDirs) {
    for (const auto& name : s.list(dir)) s.remove(std::string(dir) + name);
    for (const auto& [name, content] : snap.at(dir)) s.write(std::string(dir) + name, content);
  }
}

std::string strace() {
  for (const char* p : {"/usr/bin/strace", "/bin/strace"})
    if (::access(p, X_OK) == 0) return p;
  return "";
}

}  // namespace

TEST(AtomicCommit, AKillAtAnyRenameFsyncOrUnlinkLeavesEachMediumOneGeneration) {
  const std::string tracer = strace();
  if (tracer.empty()) GTEST_SKIP() << "strace is not installed";
  if (std::getenv("E2E_WRAPPER") != nullptr) GTEST_SKIP() << "strace cannot run under a wrapper";
  Store s;
  const e2e::CorpusSize small{6, 60, 4, 12, 2, 1};
  e2e::generate_corpus(s, small, 11);
  ASSERT_EQ(s.engine({"indexation"}).status, 0);
  const auto old_bases = bases(s);
  e2e::generate_corpus(s, small, 12, 100);  // more files: every base changes
  ASSERT_EQ(s.engine({"indexation"}).status, 0);
  const auto new_bases = bases(s);
  for (const char* dir : kBaseDirs)
    for (const auto& [name, content] : new_bases.at(dir))
      ASSERT_NE(old_bases.at(dir).at(name), content) << dir << name << " is the same in both runs";

  // Probe once that strace can inject here (some sandboxes forbid ptrace).
  {
    restore(s, old_bases);
    const Result probe = s.run(tracer, {"-f", "-qq", "-o", "/dev/null", "-e", "inject=fsync:signal=KILL:when=1",
                                        e2e::engine_binary(), "indexation"});
    if (probe.status == 1 && probe.err.find("ptrace") != std::string::npos)
      GTEST_SKIP() << "strace cannot trace here: " << probe.err;
  }

  int kills = 0;
  for (const char* call : {"renameat", "rename", "renameat2", "fsync", "unlinkat", "unlink"}) {
    for (int n = 1; n <= 200; ++n) {
      restore(s, old_bases);
      const std::string inject = std::string("inject=") + call + ":signal=KILL:when=" + std::to_string(n);
      const Result killed = s.run(tracer, {"-f", "-qq", "-o", "/dev/null", "-e", inject, e2e::engine_binary(),
                                           "indexation"});
      const bool was_killed = killed.status != 0;
      // The next request (any request) finds every medium whole.
      const Result next = s.engine({"recherche", "motabsent"});
      EXPECT_EQ(next.err, "") << call << " #" << n;
      const auto now = bases(s);
      for (const char* dir : kBaseDirs) {
        const Snapshot& got = now.at(dir);
        EXPECT_TRUE(got == old_bases.at(dir) || got == new_bases.at(dir))
            << dir << " mixes two generations after a kill at " << call << " #" << n;
      }
      if (!was_killed) break;  // the run made fewer than n such calls
      ++kills;
    }
  }
  EXPECT_GT(kills, 6);
}
