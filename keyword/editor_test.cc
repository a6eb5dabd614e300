#include "keyword/editor.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace keyword {
namespace {

// No child of ours may remain, running or zombie.
bool has_children() {
  int status;
  return !(::waitpid(-1, &status, WNOHANG) < 0 && errno == ECHILD);
}

TEST(Editor, StartsTheProgramDetachedWithOneVerbatimArgument) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("keyword_editor_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string target = (dir / "a;touch X$(id) `id`.xml").string();

  EXPECT_EQ(start_in_background("touch", target), 0);
  EXPECT_FALSE(has_children());
  for (int i = 0; i < 500 && !fs::exists(target); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(fs::exists(target));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  fs::remove_all(dir);
}

TEST(Editor, ReportsAProgramThatCannotBeStarted) {
  EXPECT_EQ(start_in_background("no-such-editor-for-keyword-tests", "x"), ENOENT);
  EXPECT_FALSE(has_children());
}

}  // namespace
}  // namespace keyword
