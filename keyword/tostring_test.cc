#include "keyword/tostring.h"

#include <climits>

#include <gtest/gtest.h>

namespace keyword {
namespace {

TEST(Tostring, WritesTheDecimalDigits) {
  EXPECT_EQ(tostring(40), "40");
  EXPECT_EQ(tostring(7), "7");
  EXPECT_EQ(tostring(1), "1");
  EXPECT_EQ(tostring(100), "100");
  EXPECT_EQ(tostring(INT_MAX), "2147483647");
}

}  // namespace
}  // namespace keyword
