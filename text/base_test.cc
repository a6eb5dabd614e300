#include "text/base.h"

#include <gtest/gtest.h>

namespace text {
namespace {

std::vector<std::string> popAll(PILE_TAVREN* pile) {
  std::vector<std::string> out;
  while (!PILE_TAVREN_EST_VIDE(pile)) out.push_back(*DEPILE_TAVREN(pile));
  return out;
}

TEST(TextRecordStack, OneStringPerCompleteRecordLastOnTop) {
  PILE_TAVREN pile;
  INIT_PILE_TAVREN(&pile);
  empilerDescripteurs(
      "<debut> <id> 1 </id> <mots> maison 5 ; jardin 4 ;    </mots> </fin>\n"
      "<debut> <id> 2 </id> <mots>   </mots> </fin>\n"
      "<debut> <id> 3 </id> <mots> arbre 3 ; </mots>\n",  // no "</fin>": never compared
      &pile);
  EXPECT_EQ(popAll(&pile), (std::vector<std::string>{"2 ", "1 maison 5 ; jardin 4 ; "}));

  // A list running to the end of the data, and stray tokens outside the lists.
  empilerDescripteurs("x <id> 7 y <mots> a 1 ; </fin>", &pile);
  EXPECT_EQ(popAll(&pile), std::vector<std::string>{});
  empilerDescripteurs("x <id> 7 y <mots> a 1 ; </mots> z </fin> </fin>", &pile);
  EXPECT_EQ(popAll(&pile), (std::vector<std::string>{"7 a 1 ; ", "7 a 1 ; "}));
}

TEST(TextQueryWords, FirstTokenOfEachEntry) {
  EXPECT_EQ(queryWords("<debut> <id> -1 </id> <mots> maison 5 ; jardin 4 ;    </mots> </fin>\n"),
            (std::vector<std::string_view>{"maison", "jardin"}));
  EXPECT_TRUE(queryWords("<debut> <id> -1 </id> <mots>   </mots> </fin>\n").empty());
  EXPECT_TRUE(queryWords("").empty());
  EXPECT_EQ(queryWords("<mots> a 1 ; b"), (std::vector<std::string_view>{"a", "b"}));
}

TEST(TextRecord, BytesOfTheDescriptorLine) {
  EXPECT_EQ(descriptorRecord(2, "maison 5 ; jardin 4 ; "),
            "<debut> <id> 2 </id> <mots> maison 5 ; jardin 4 ;   </mots> </fin>\n");
  EXPECT_EQ(descriptorRecord(2, ""), "<debut> <id> 2 </id> <mots>   </mots> </fin>\n");
  EXPECT_EQ(descriptorRecord(-1, ""), "<debut> <id> -1 </id> <mots>   </mots> </fin>\n");
}

TEST(TextRecord, BytesOfTheListLine) {
  EXPECT_EQ(registrationLine(7, "doc.xml"), "<id> 7 </id> <filename> doc.xml </filename>\n");
  EXPECT_EQ(registrationLine(12345678901u, "x"), "<id> 12345678901 </id> <filename> x </filename>\n");
}

}  // namespace
}  // namespace text
