#include <gtest/gtest.h>

#include "sound/base_list.h"

namespace sound {
namespace {

TEST(SoundList, LinesAndLookups) {
  SoundList list;
  EXPECT_EQ(list.read_desc("a.bin"), 0);
  EXPECT_EQ(list.addListeBaseSon("a.bin"), 0);
  EXPECT_EQ(list.addListeBaseSon("b.bin"), 1);
  EXPECT_EQ(list.text(),
            "<id> 0 </id><fichier> a.bin </fichier>\n"
            "<id> 1 </id><fichier> b.bin </fichier>\n");
  EXPECT_EQ(list.read_desc("a.bin"), 1);
  EXPECT_EQ(list.read_desc("b.bi"), 0);
  EXPECT_EQ(list.read_desc("</id><fichier>"), 1);

  const auto names = names_by_position(list.text(), 3);
  EXPECT_EQ(names[0], "a.bin");
  EXPECT_EQ(names[1], "b.bin");
  EXPECT_EQ(names[2], "");
}

TEST(SoundList, OnlyIdentifierTokensAreMatched) {
  const std::string list =
      "<id> 0 </id><fichier> 3.bin </fichier>\n"
      "<id> 1 </id><fichier> <id> </fichier>\n"
      "<id> 2 </id><fichier> 2.bin </fichier>\n"
      "<id> 3 </id><fichier> x.bin </fichier>\n"
      "<id> 3 </id><fichier> second.bin </fichier>\n"
      "<id> 05 </id><fichier> five.bin </fichier>\n"
      "<id> 6";
  const auto names = names_by_position(list, 8);
  EXPECT_EQ(names[0], "3.bin");
  EXPECT_EQ(names[1], "<id>");
  EXPECT_EQ(names[2], "2.bin");
  EXPECT_EQ(names[3], "x.bin");
  EXPECT_EQ(names[4], "");
  EXPECT_EQ(names[5], "five.bin");
  EXPECT_EQ(names[6], "");
  // The identifier token is consumed: "<id> <id> 7 a b" names 0 ("<id>" reads
  // as 0) with "a", and never sees a mark before 7.
  const auto quirk = names_by_position("<id> <id> 7 a b", 8);
  EXPECT_EQ(quirk[0], "a");
  EXPECT_EQ(quirk[7], "");
}

}  // namespace
}  // namespace sound
