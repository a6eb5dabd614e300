#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "text/text.h"

namespace text {
namespace {

namespace fs = std::filesystem;

// A text list in a scratch store, with the working directory moved beside it
// for the duration of the test.
class TextSortTest : public testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/text_sort.XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    fs::create_directories(root_ / "EXTERN_FILES/database/base_texte");
    fs::create_directories(root_ / "work");
    std::ofstream(root_ / "EXTERN_FILES/database/base_texte/liste_base_texte.txt")
        << "<id> 7 </id> <filename> sept.xml </filename>\n"
        << "<id> 8 </id> <filename> huit.xml </filename>\n"
        << "<id> 9 </id> <filename> neuf.xml </filename>\n";
    old_cwd_ = fs::current_path();
    fs::current_path(root_ / "work");
    ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);  // every prompt answered "no"
  }
  void TearDown() override {
    fs::current_path(old_cwd_);
    fs::remove_all(root_);
  }
  fs::path root_, old_cwd_;
};

TEST_F(TextSortTest, ShowsTheDocumentsFromTheHighestCountDown) {
  int counts[] = {1, 3, 2};
  int ids[] = {7, 8, 9};
  testing::internal::CaptureStdout();
  sort(counts, ids, 3);
  std::fflush(stdout);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(counts[0], 1);
  EXPECT_EQ(counts[1], 2);
  EXPECT_EQ(counts[2], 3);
  EXPECT_EQ(ids[0], 7);
  EXPECT_EQ(ids[1], 9);
  EXPECT_EQ(ids[2], 8);
  const size_t huit = out.find("\nhuit.xml\n"), neuf = out.find("\nneuf.xml\n"), sept = out.find("\nsept.xml\n");
  ASSERT_NE(huit, std::string::npos) << out;
  ASSERT_NE(neuf, std::string::npos) << out;
  ASSERT_NE(sept, std::string::npos) << out;
  EXPECT_LT(huit, neuf);
  EXPECT_LT(neuf, sept);
}

TEST_F(TextSortTest, NothingToShowDoesNothing) {
  testing::internal::CaptureStdout();
  sort(nullptr, nullptr, 0);
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
}  // namespace text
