#include "store/lock.h"

#include <atomic>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "store/commit.h"
#include "store/test_dir.h"

using store::FileLock;
using store::testing::TestDir;

TEST(Lock, ReadersShareAndAWriterExcludesThem) {
  TestDir d;
  store::Env* env = store::Env::Default();
  const store::LockPlan plan{d.path(), "", {}, nullptr};
  std::unique_ptr<FileLock> r1, r2, w;
  ASSERT_TRUE(store::LockStore(*env, plan, FileLock::Mode::kShared, &r1).ok());
  ASSERT_TRUE(store::LockStore(*env, plan, FileLock::Mode::kShared, &r2).ok());
  EXPECT_EQ(env->LockDirectory(d.path(), FileLock::Mode::kExclusive, false, &w).code(), EWOULDBLOCK);
  r1.reset();
  r2.reset();
  EXPECT_TRUE(env->LockDirectory(d.path(), FileLock::Mode::kExclusive, false, &w).ok());
}

TEST(Lock, AWaitIsToldOnceAndAWaitingWriterGoesBeforeNewReaders) {
  TestDir d;
  std::filesystem::create_directory(d.at("turnstile"));
  store::Env* env = store::Env::Default();
  std::unique_ptr<FileLock> reader;
  const store::LockPlan quiet{d.path(), d.at("turnstile"), {}, nullptr};
  ASSERT_TRUE(store::LockStore(*env, quiet, FileLock::Mode::kShared, &reader).ok());

  std::atomic<int> told{0};
  std::atomic<bool> writer_in{false};
  std::thread writer([&] {
    const store::LockPlan plan{d.path(), d.at("turnstile"), {}, [&] { ++told; }};
    std::unique_ptr<FileLock> w;
    EXPECT_TRUE(store::LockStore(*env, plan, FileLock::Mode::kExclusive, &w).ok());
    writer_in = true;
  });
  // Once the writer waits on the turnstile's far side, a new reader queues.
  while (told == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::unique_ptr<FileLock> late;
  EXPECT_EQ(env->LockDirectory(d.at("turnstile"), FileLock::Mode::kShared, false, &late).code(),
            EWOULDBLOCK);
  reader.reset();
  writer.join();
  EXPECT_TRUE(writer_in);
  EXPECT_EQ(told, 1);
}

TEST(Lock, ASharedRequestFirstFinishesAnInterruptedCommit) {
  TestDir d;
  d.write("a", "old a");
  d.write("b", "old b");
  d.write(".a.new", "new a");  // renamed already: only b is left staged
  std::filesystem::rename(d.at(".a.new"), d.at("a"));
  d.write(".b.new", "new b");
  d.write(".commit", "commit\na\nb\nend\n");
  std::unique_ptr<FileLock> lock;
  const store::LockPlan plan{d.path(), "", {d.path()}, nullptr};
  ASSERT_TRUE(store::LockStore(*store::Env::Default(), plan, FileLock::Mode::kShared, &lock).ok());
  EXPECT_EQ(d.read("a"), "new a");
  EXPECT_EQ(d.read("b"), "new b");
  EXPECT_FALSE(d.exists(".commit"));
  EXPECT_FALSE(d.exists(".b.new"));
}
