#include "text/scratch.h"

#include <gtest/gtest.h>

namespace text::scratch {
namespace {

TEST(TextBareName, LastNonEmptyPiece) {
  EXPECT_EQ(bareName("../q.xml"), "q.xml");
  EXPECT_EQ(bareName("q.xml"), "q.xml");
  EXPECT_EQ(bareName("/a/b/dir/"), "dir");
  EXPECT_EQ(bareName("a//b//"), "b");
  EXPECT_EQ(bareName(""), "");
  EXPECT_EQ(bareName("/"), "");
  EXPECT_EQ(bareName("///"), "");
}

}  // namespace
}  // namespace text::scratch
