#include "keyword/list_reader.h"

#include <string>

#include <gtest/gtest.h>

namespace keyword {
namespace {

TEST(ListReader, MapsIdentifiersToFileNames) {
  const std::string list =
      "<id> 1 </id> <filename> 3 </filename>\n"
      "<id> 2 </id> <filename> b.xml </filename>\n"
      "<id> 3 </id> <filename> c.xml </filename>\n"
      "<id> 2 </id> <filename> again.xml </filename>\n"
      "<id> 4 </id>";
  const TextList names = read_text_list(list);
  EXPECT_EQ(names.at("1"), "3");
  EXPECT_EQ(names.at("2"), "b.xml");  // the first registration wins
  EXPECT_EQ(names.at("3"), "c.xml");  // not the file named 3
  EXPECT_EQ(names.count("4"), 0u);    // cut short: no name
  EXPECT_TRUE(read_text_list("").empty());
}

}  // namespace
}  // namespace keyword
