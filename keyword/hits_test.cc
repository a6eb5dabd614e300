#include "keyword/hits.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace keyword {
namespace {

std::vector<std::string> names(const std::vector<Found>& found) {
  std::vector<std::string> out;
  for (const Found& f : found) out.push_back(f.named ? f.name : "?" + std::to_string(f.id));
  return out;
}

TEST(DisplayOrder, HighestCountFirstWithTheExchangeTieOrder) {
  const std::string list =
      "<id> 10 </id> <filename> dix.xml </filename>\n"
      "<id> 11 </id> <filename> onze.xml </filename>\n"
      "<id> 12 </id> <filename> douze.xml </filename>\n";
  const TextList l = read_text_list(list);
  EXPECT_EQ(names(displayOrder({{10, 3}, {11, 3}, {12, 3}}, l)),
            (std::vector<std::string>{"dix.xml", "douze.xml", "onze.xml"}));
  EXPECT_EQ(names(displayOrder({{10, 1}, {11, 2}, {12, 2}}, l)),
            (std::vector<std::string>{"onze.xml", "douze.xml", "dix.xml"}));
  const std::vector<Found> f = displayOrder({{12, 1}, {99, 5}, {10, 2}}, l);
  EXPECT_EQ(names(f), (std::vector<std::string>{"?99", "dix.xml", "douze.xml"}));
  EXPECT_EQ(f[0].count, 5);
  EXPECT_EQ(f[1].count, 2);
  EXPECT_FALSE(f[0].named);
  EXPECT_TRUE(displayOrder({}, l).empty());
}

TEST(DisplayOrder, NamedLooksTheIdentifierUpAsAToken) {
  const TextList l = read_text_list("<id> 1 </id> <filename> 2 </filename>\n<id> 2 </id> <filename> b </filename>\n");
  EXPECT_EQ(named(2, l).name, "b");
  EXPECT_EQ(named(1, l).name, "2");
  EXPECT_FALSE(named(3, l).named);
  EXPECT_FALSE(named(-1, l).named);
}

}  // namespace
}  // namespace keyword
