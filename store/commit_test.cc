#include "store/commit.h"

#include <gtest/gtest.h>

#include "store/fault_env.h"
#include "store/test_dir.h"

using store::testing::TestDir;

namespace {

const std::vector<std::string> kNames = {"list.txt", "base.txt", "ranked.idx"};

void WriteOld(const TestDir& d) {
  for (const std::string& n : kNames) d.write(n, "old " + n);
}

store::Status CommitNew(store::Env& env, const std::string& path) {
  std::unique_ptr<store::Directory> dir;
  store::Status s = env.OpenDirectory(path, &dir);
  if (!s.ok()) return s;
  store::Commit commit(dir.get());
  for (const std::string& n : kNames) {
    if (s.ok()) s = commit.Stage(n, "new " + n);
  }
  return s.ok() ? commit.Finish() : s;
}

// "old" or "new" when every file of the group is of one generation, else "mixed".
std::string Generation(const TestDir& d) {
  std::string seen;
  for (const std::string& n : kNames) {
    const std::string content = d.read(n);
    const std::string g = content == "old " + n ? "old" : content == "new " + n ? "new" : "bad";
    if (seen.empty()) seen = g;
    if (g != seen) return "mixed";
  }
  return seen;
}

std::vector<std::string> Hidden(const TestDir& d) {
  std::vector<std::string> names;
  std::unique_ptr<store::Directory> dir;
  store::Env::Default()->OpenDirectory(d.path(), &dir);
  dir->List(&names);
  std::vector<std::string> hidden;
  for (const auto& n : names)
    if (n[0] == '.') hidden.push_back(n);
  return hidden;
}

}  // namespace

TEST(Commit, ReplacesTheWholeGroupAndLeavesNothingHidden) {
  TestDir d;
  WriteOld(d);
  ASSERT_TRUE(CommitNew(*store::Env::Default(), d.path()).ok());
  EXPECT_EQ(Generation(d), "new");
  EXPECT_TRUE(Hidden(d).empty());
}

// A crash before each call that changes the disk, then the recovery any
// later request runs: the group is all old or all new, never mixed, and
// once the record is in place it is all new.
TEST(Commit, ACrashAtAnyPointLeavesOneGeneration) {
  store::FaultEnv counter(store::Env::Default());
  {
    TestDir d;
    WriteOld(d);
    ASSERT_TRUE(CommitNew(counter, d.path()).ok());
  }
  const int changes = counter.changes();
  ASSERT_GT(changes, 10);
  bool saw_old = false, saw_new = false;
  for (int crash = 1; crash <= changes + 1; ++crash) {
    TestDir d;
    WriteOld(d);
    store::FaultEnv env(store::Env::Default());
    env.CrashAt(crash);
    CommitNew(env, d.path());
    std::unique_ptr<store::Directory> dir;
    ASSERT_TRUE(store::Env::Default()->OpenDirectory(d.path(), &dir).ok());
    ASSERT_TRUE(store::Recover(dir.get()).ok()) << crash;
    const std::string g = Generation(d);
    EXPECT_TRUE(g == "old" || g == "new") << "crash before change " << crash << ": " << g;
    saw_old = saw_old || g == "old";
    saw_new = saw_new || g == "new";
    EXPECT_TRUE(Hidden(d).empty()) << crash;
    EXPECT_FALSE(store::NeedsRecovery(dir.get()));
  }
  EXPECT_TRUE(saw_old && saw_new);
}

TEST(Commit, AFailedWriteOrRenameKeepsOneGenerationAndReportsThePath) {
  for (const auto op : {store::FaultEnv::Op::kWrite, store::FaultEnv::Op::kSync,
                        store::FaultEnv::Op::kRename}) {
    for (int nth = 1; nth <= 4; ++nth) {
      TestDir d;
      WriteOld(d);
      store::FaultEnv env(store::Env::Default());
      env.FailNth(op, nth, ENOSPC);
      const store::Status s = CommitNew(env, d.path());
      const std::string g = Generation(d);
      if (s.ok()) {
        EXPECT_EQ(g, "new");
      } else {
        EXPECT_EQ(g, "old");
        EXPECT_NE(s.ToString().find("No space left on device"), std::string::npos);
        EXPECT_EQ(s.path().rfind(d.path(), 0), 0u);
      }
      EXPECT_TRUE(Hidden(d).empty());
    }
  }
}

TEST(Commit, RecoveryIgnoresAForgedRecord) {
  TestDir d;
  WriteOld(d);
  d.write(".commit", "commit\n../escape\nend\n");
  d.write(".base.txt.new", "stray");
  std::unique_ptr<store::Directory> dir;
  ASSERT_TRUE(store::Env::Default()->OpenDirectory(d.path(), &dir).ok());
  EXPECT_TRUE(store::NeedsRecovery(dir.get()));
  ASSERT_TRUE(store::Recover(dir.get()).ok());
  EXPECT_EQ(Generation(d), "old");
  EXPECT_TRUE(Hidden(d).empty());
}
