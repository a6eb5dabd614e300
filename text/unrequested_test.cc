#include "text/unrequested.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_store.h"

namespace text {
namespace {

// A text list in a temporary store; every prompt is answered by the end of
// input.
class TextSortTest : public testing::Test {
 protected:
  void SetUp() override {
    s_.write("EXTERN_FILES/database/base_texte/liste_base_texte.txt",
             "<id> 7 </id> <filename> sept.xml </filename>\n"
             "<id> 8 </id> <filename> huit.xml </filename>\n"
             "<id> 9 </id> <filename> neuf.xml </filename>\n");
  }
  testing_support::TempStore s_;
  std::function<int()> no_answer_ = [] { return -1; };
};

TEST_F(TextSortTest, ShowsTheDocumentsFromTheHighestCountDown) {
  int counts[] = {1, 3, 2};
  int ids[] = {7, 8, 9};
  output::StringSink sink;
  sort(s_.store(), sink, no_answer_, counts, ids, 3);
  const std::string& out = sink.out_text();
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
  output::StringSink sink;
  sort(s_.store(), sink, no_answer_, nullptr, nullptr, 0);
  EXPECT_EQ(sink.out_text(), "");
}

TEST(TextPileTavren, PrintTopFirstAndKeepStrings) {
  PILE_TAVREN pile;
  INIT_PILE_TAVREN(&pile);
  EMPILE_TAVREN(&pile, "premier");
  EMPILE_TAVREN(&pile, "second");
  output::StringSink sink;
  AFFICHE_PILE_TAVREN(&pile, sink);
  EXPECT_EQ(sink.out_text(), "second\npremier\n");
  EXPECT_EQ(*DEPILE_TAVREN(&pile), "second");
  EXPECT_EQ(*DEPILE_TAVREN(&pile), "premier");
  output::StringSink empty;
  AFFICHE_PILE_TAVREN(&pile, empty);
  EXPECT_EQ(empty.out_text(), "");
}

TEST(TextPileTavrenDeathTest, PrintingANullHandleEndsTheProcessWithStatusOne) {
  output::StringSink sink;
  EXPECT_EXIT(AFFICHE_PILE_TAVREN(nullptr, sink), testing::ExitedWithCode(1), "^$");
}

}  // namespace
}  // namespace text
