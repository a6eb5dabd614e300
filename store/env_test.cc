#include "store/env.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "store/test_dir.h"

namespace fs = std::filesystem;
using store::testing::TestDir;

namespace {

std::unique_ptr<store::Directory> Open(const std::string& path) {
  std::unique_ptr<store::Directory> dir;
  EXPECT_TRUE(store::Env::Default()->OpenDirectory(path, &dir).ok());
  return dir;
}

}  // namespace

TEST(Env, OwnFilesNeverGoThroughALink) {
  TestDir d;
  fs::create_directory(d.at("outside"));
  d.write("outside/victim", "keep me");
  fs::create_directory(d.at("own"));
  fs::create_symlink(d.at("outside/victim"), d.at("own/file"));
  fs::create_symlink(d.at("outside"), d.at("own/sub"));

  auto dir = Open(d.at("own"));
  ASSERT_TRUE(dir->WriteFile("file", "ours").ok());
  EXPECT_EQ(d.read("outside/victim"), "keep me");
  EXPECT_FALSE(fs::is_symlink(d.at("own/file")));
  EXPECT_EQ(d.read("own/file"), "ours");

  // A link where our directory belongs is replaced; its target is untouched.
  std::unique_ptr<store::Directory> sub;
  ASSERT_TRUE(dir->OpenDirectory("sub", /*own=*/true, &sub).ok());
  ASSERT_TRUE(sub->WriteFile("victim", "ours").ok());
  EXPECT_EQ(d.read("outside/victim"), "keep me");
  EXPECT_TRUE(fs::is_directory(fs::symlink_status(d.at("own/sub"))));

  // Removing a tree removes links inside it, not what they point to.
  fs::create_symlink(d.at("outside"), d.at("own/sub/link"));
  ASSERT_TRUE(dir->RemoveTree("sub").ok());
  EXPECT_EQ(d.read("outside/victim"), "keep me");
  EXPECT_FALSE(d.exists("own/sub"));
}

TEST(Env, WriteFileReplacesSharedFilesAndNarrowsModes) {
  TestDir d;
  d.write("other", "shared");
  fs::create_hard_link(d.at("other"), d.at("file"));
  auto dir = Open(d.path());
  ASSERT_TRUE(dir->WriteFile("file", "new", {0600, /*reuse=*/true}).ok());
  EXPECT_EQ(d.read("other"), "shared");  // the other name keeps its bytes
  EXPECT_EQ(d.read("file"), "new");

  ::chmod(d.at("file").c_str(), 0644);
  ASSERT_TRUE(dir->WriteFile("file", "new", {0600, true}).ok());  // same bytes: left alone
  struct stat st;
  ASSERT_EQ(::stat(d.at("file").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_TRUE(dir->WriteFile("file", "longer content", {0600, true}).ok());
  ASSERT_TRUE(dir->WriteFile("file", "short", {0600, true}).ok());
  EXPECT_EQ(d.read("file"), "short");
  ASSERT_TRUE(dir->WriteFile("file", "x", {0600, false}).ok());
  EXPECT_EQ(d.read("file"), "x");
}

TEST(Env, InputsMustBeRegularFilesAndNeverBlock) {
  TestDir d;
  ASSERT_EQ(::mkfifo(d.at("fifo").c_str(), 0600), 0);
  d.write("plain", "bytes");
  store::Env* env = store::Env::Default();
  std::string out;
  store::Status s = env->ReadFile(d.at("fifo"), &out);
  EXPECT_FALSE(s.ok());
  EXPECT_EQ(s.ToString(), d.at("fifo") + " : not a regular file");
  EXPECT_FALSE(env->ReadFile(d.path(), &out).ok());
  std::unique_ptr<store::SequentialFile> seq;
  EXPECT_FALSE(env->NewSequentialFile(d.at("fifo"), &seq).ok());
  std::unique_ptr<store::MappedFile> map;
  EXPECT_FALSE(env->MapFile(d.at("fifo"), &map).ok());
  auto dir = Open(d.path());
  EXPECT_FALSE(dir->CheckInput("fifo").ok());
  EXPECT_TRUE(dir->CheckInput("plain").ok());

  ASSERT_TRUE(env->ReadFile(d.at("plain"), &out).ok());
  EXPECT_EQ(out, "bytes");
  EXPECT_FALSE(env->ReadFile(d.at("plain"), &out, 4).ok());
  ASSERT_TRUE(env->MapFile(d.at("plain"), &map).ok());
  EXPECT_EQ(map->data(), "bytes");

  s = env->ReadFile(d.at("missing"), &out);
  EXPECT_EQ(s.code(), ENOENT);
  EXPECT_EQ(s.ToString(), d.at("missing") + " : No such file or directory");
}

// A whole-file read takes one buffer of the file's size (plus the byte that
// sees the end), not two; a file longer than fstat said (as /proc files,
// which show size 0) is still read whole, and as far as the limit only.
TEST(Env, ReadFileTakesOneBufferAndFollowsFilesThatGrow) {
  TestDir d;
  const std::string big(size_t{3} << 20, 'x');
  d.write("big", big);
  store::Env* env = store::Env::Default();
  std::string out;
  ASSERT_TRUE(env->ReadFile(d.at("big"), &out).ok());
  EXPECT_EQ(out, big);
  EXPECT_LT(out.capacity(), big.size() + big.size() / 2);

  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string cmdline{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(cmdline.empty());
  std::string grown;
  ASSERT_TRUE(env->ReadFile("/proc/self/cmdline", &grown).ok());
  EXPECT_EQ(grown, cmdline);
  ASSERT_TRUE(env->ReadFile("/proc/self/cmdline", &grown, cmdline.size()).ok());
  EXPECT_EQ(grown, cmdline);
  store::Status s = env->ReadFile("/proc/self/cmdline", &grown, cmdline.size() - 1);
  EXPECT_FALSE(s.ok());
  EXPECT_TRUE(grown.empty());
  EXPECT_EQ(s.ToString(), "/proc/self/cmdline : larger than " + std::to_string(cmdline.size() - 1) + " bytes");
}

TEST(Env, ListsAndStatsWithoutFollowingWhenAsked) {
  TestDir d;
  d.write("a", "1");
  fs::create_symlink(d.at("a"), d.at("l"));
  auto dir = Open(d.path());
  std::vector<std::string> names;
  ASSERT_TRUE(dir->List(&names).ok());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a", "l"}));
  ASSERT_TRUE(dir->List(&names).ok());  // a second listing starts over
  EXPECT_EQ(names.size(), 2u);
  store::FileInfo info;
  ASSERT_TRUE(dir->Stat("l", store::Follow::kNoLinks, &info).ok());
  EXPECT_EQ(info.type, store::FileInfo::Type::kSymlink);
  ASSERT_TRUE(dir->Stat("l", store::Follow::kLinks, &info).ok());
  EXPECT_EQ(info.type, store::FileInfo::Type::kRegular);
}
