#include "web/lists.h"

#include <gtest/gtest.h>

namespace web {
namespace {

TEST(Lists, FindsTheNameAndKindInEachBaseList) {
  const std::string text = "<id> 1 </id> <filename> a.xml </filename>\n<id> 12 </id> <filename> b.xml </filename>\n";
  ASSERT_TRUE(FindEntry(text, "12"));
  EXPECT_EQ(FindEntry(text, "12")->name, "b.xml");
  EXPECT_EQ(FindEntry(text, "1")->name, "a.xml");
  EXPECT_TRUE(FindEntry(text, "12")->kind.empty());

  const std::string images =
      "<id> 0 </id> <fichier> c.txt </fichier> <type> RGB </type>\n"
      "<id> 1 </id> <fichier> g.txt </fichier> <type> NB </type>\n";
  EXPECT_EQ(FindEntry(images, "1")->name, "g.txt");
  EXPECT_EQ(FindEntry(images, "1")->kind, "NB");
  EXPECT_EQ(FindEntry(images, "0")->kind, "RGB");

  const std::string sounds = "<id> 0 </id><fichier> s.bin </fichier>\n<id> 1 </id><fichier> t.bin </fichier>\n";
  EXPECT_EQ(FindEntry(sounds, "1")->name, "t.bin");
}

TEST(Lists, IdentifiersMatchExactlyAndTheFirstRegistrationWins) {
  const std::string list =
      "<id> 3 </id> <filename> 1 </filename>\n"   // a name made of digits is no identifier
      "<id> 3 </id> <filename> later.xml </filename>\n"
      "<id> 7 </id>\n"                             // cut short: no name
      "<id> 8 </id> <filename>";
  EXPECT_FALSE(FindEntry(list, "1"));
  EXPECT_FALSE(FindEntry(list, "03"));
  EXPECT_EQ(FindEntry(list, "3")->name, "1");
  ASSERT_TRUE(FindEntry(list, "7"));
  EXPECT_TRUE(FindEntry(list, "7")->name.empty());
  EXPECT_TRUE(FindEntry(list, "8")->name.empty());
  EXPECT_FALSE(FindEntry("", "0"));
  EXPECT_FALSE(FindEntry("<id>", "0"));
}

TEST(Lists, CountsDistinctIdentifiers) {
  EXPECT_EQ(CountEntries(""), 0u);
  EXPECT_EQ(CountEntries("<id> 0 </id><fichier> a </fichier>\n<id> 1 </id><fichier> b </fichier>\n"), 2u);
  EXPECT_EQ(CountEntries("<id> 4 </id> x <id> 4 </id> y <id>"), 1u);
}

TEST(Lists, SafeNamesAreOnePathComponent) {
  EXPECT_TRUE(SafeName("a.txt"));
  EXPECT_TRUE(SafeName("<img src=x>.txt"));
  EXPECT_FALSE(SafeName(""));
  EXPECT_FALSE(SafeName("."));
  EXPECT_FALSE(SafeName(".."));
  EXPECT_FALSE(SafeName("../secret"));
  EXPECT_FALSE(SafeName("/etc/passwd"));
  EXPECT_FALSE(SafeName(std::string_view("a\0b", 3)));
}

}  // namespace
}  // namespace web
