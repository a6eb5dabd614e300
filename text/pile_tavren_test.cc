#include "text/pile_tavren.h"

#include <gtest/gtest.h>

namespace text {
namespace {

TEST(TextPileTavren, FreshStackIsEmpty) {
  PILE_TAVREN pile;
  INIT_PILE_TAVREN(&pile);
  EXPECT_EQ(PILE_TAVREN_EST_VIDE(&pile), 1);
  EXPECT_FALSE(DEPILE_TAVREN(&pile).has_value());
  EXPECT_EQ(PILE_TAVREN_EST_VIDE(&pile), 1);
}

TEST(TextPileTavren, LastInFirstOutWithOwnedCopies) {
  PILE_TAVREN pile;
  INIT_PILE_TAVREN(&pile);
  std::string buffer = "un";
  EMPILE_TAVREN(&pile, buffer);
  buffer = "deux";
  EMPILE_TAVREN(&pile, buffer);
  buffer.assign("XXXX");  // the stack keeps its own copies
  EMPILE_TAVREN(&pile, "");
  EXPECT_EQ(PILE_TAVREN_EST_VIDE(&pile), 0);
  const auto a = DEPILE_TAVREN(&pile);
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(*a, "");  // the empty string is a value, not "nothing"
  EXPECT_EQ(*DEPILE_TAVREN(&pile), "deux");
  EXPECT_EQ(*DEPILE_TAVREN(&pile), "un");
  EXPECT_EQ(PILE_TAVREN_EST_VIDE(&pile), 1);
}

TEST(TextPileTavren, InitFreesAndEmpties) {
  PILE_TAVREN pile;
  INIT_PILE_TAVREN(&pile);
  EMPILE_TAVREN(&pile, "x");
  INIT_PILE_TAVREN(&pile);
  EXPECT_EQ(PILE_TAVREN_EST_VIDE(&pile), 1);
}

TEST(TextPileTavren, LongChainIsFreedWithoutDeepRecursion) {
  PILE_TAVREN pile;
  INIT_PILE_TAVREN(&pile);
  for (int i = 0; i < 1000000; ++i) EMPILE_TAVREN(&pile, "r");
  pile.reset();
  EXPECT_EQ(PILE_TAVREN_EST_VIDE(&pile), 1);
}

TEST(TextPileTavrenDeathTest, NullHandleEndsTheProcessWithStatusOne) {
  EXPECT_EXIT(EMPILE_TAVREN(nullptr, "x"), testing::ExitedWithCode(1), "^$");
}

}  // namespace
}  // namespace text
