#include "sound/base_commit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "store/fault_env.h"
#include "tests/support/temp_store.h"

namespace sound {
namespace {

constexpr const char kBaseDir[] = "EXTERN_FILES/database/base_son/";

std::string at(const char* name) { return std::string(kBaseDir) + name; }

// The sound base directory holding an old group of three files.
struct OldGroup {
  testing_support::TempStore s;
  OldGroup() {
    s.write(at("base_descripteur_son.txt"), "old base");
    s.write(at("Liste_Base_Son.txt"), "old list");
    s.write(at("extra.txt"), "old extra");
  }
  // Stages the new group through `env`, a third file beside the two bases.
  store::Status replace(store::Env& env) const {
    std::unique_ptr<store::Directory> dir;
    store::Status st = env.OpenDirectory(s.path(kBaseDir), &dir);
    if (!st.ok()) return st;
    BaseCommit commit(dir.get());
    st = commit.Start();
    if (st.ok()) st = commit.Append("new ");
    if (st.ok()) st = commit.Append("base");
    if (st.ok()) st = commit.commit().Stage("extra.txt", "new extra");
    if (st.ok()) st = commit.Finish("new list");
    return st;
  }
  std::string group() const {
    return s.read(at("base_descripteur_son.txt")) + "|" + s.read(at("Liste_Base_Son.txt")) + "|" +
           s.read(at("extra.txt"));
  }
};

TEST(SoundBaseCommit, ReplacesTheWholeGroup) {
  OldGroup g;
  ASSERT_TRUE(g.replace(*store::Env::Default()).ok());
  EXPECT_EQ(g.group(), "new base|new list|new extra");
  for (const char* left : {".commit", ".base_descripteur_son.txt.new", ".Liste_Base_Son.txt.new"})
    EXPECT_FALSE(g.s.exists(at(left))) << left;
}

// A kill at any disk change, then the recovery every request starts with:
// the three files are all old or all new, never a mix (the renames of a
// group are not atomic one by one; the commit record makes them so).
TEST(SoundBaseCommit, AKillAtAnyPointLeavesOneWholeGroup) {
  int changes = 0;
  {
    OldGroup g;
    store::FaultEnv counting(store::Env::Default());
    ASSERT_TRUE(g.replace(counting).ok());
    changes = counting.changes();
  }
  ASSERT_GT(changes, 6);
  int old_groups = 0, new_groups = 0;
  for (int n = 1; n <= changes; ++n) {
    OldGroup g;
    store::FaultEnv env(store::Env::Default());
    env.CrashAt(n);
    EXPECT_FALSE(g.replace(env).ok()) << n;
    std::unique_ptr<store::Directory> dir;
    ASSERT_TRUE(store::Env::Default()->OpenDirectory(g.s.path(kBaseDir), &dir).ok());
    ASSERT_TRUE(store::Recover(dir.get()).ok()) << n;
    const std::string group = g.group();
    if (group == "old base|old list|old extra") {
      ++old_groups;
    } else {
      EXPECT_EQ(group, "new base|new list|new extra") << "crash at change " << n;
      ++new_groups;
    }
  }
  EXPECT_GT(old_groups, 0);
  EXPECT_GT(new_groups, 0);
}

}  // namespace
}  // namespace sound
