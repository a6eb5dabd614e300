#include "text/comparison.h"

#include <gtest/gtest.h>

namespace text {
namespace {

std::vector<std::string> popAll(PILE_TAVREN* pile) {
  std::vector<std::string> out;
  while (!PILE_TAVREN_EST_VIDE(pile)) out.push_back(*DEPILE_TAVREN(pile));
  return out;
}

TEST(TextBareName, LastNonEmptyPiece) {
  EXPECT_EQ(bareName("../q.xml"), "q.xml");
  EXPECT_EQ(bareName("q.xml"), "q.xml");
  EXPECT_EQ(bareName("/a/b/dir/"), "dir");
  EXPECT_EQ(bareName("a//b//"), "b");
  EXPECT_EQ(bareName(""), "");
  EXPECT_EQ(bareName("/"), "");
  EXPECT_EQ(bareName("///"), "");
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

TEST(TextScore, QueryWordInsideARecordWordCountsOnce) {
  const std::vector<std::string_view> q = {"maison", "jard", "arbre", "ciel"};
  // "jard" is a prefix of "jardin", "arbre" an infix of "darbres"; "maison"
  // appears in two words but adds 1.
  const Score s = scoreRecord("12 maison 5 ; maisonnette 3 ; jardin 4 ; darbres 3 ; ", q);
  EXPECT_EQ(s.id, 12);
  EXPECT_EQ(s.shared, 3);
}

TEST(TextScore, IdentifiersCountsAndSeparatorsNeverMatch) {
  EXPECT_EQ(scoreRecord("1000 arbre 1000 ; ", {"1000", "100", ";"}).shared, 0);
  EXPECT_EQ(scoreRecord("1000 arbre 1000 ; 1000x 3 ; ", {"1000"}).shared, 1);
  // A match never spans two words.
  EXPECT_EQ(scoreRecord("5 abc 3 ; def 4 ; ", {"cde", "abc"}).shared, 1);
  EXPECT_EQ(scoreRecord("", {"a"}).shared, 0);
  EXPECT_EQ(scoreRecord("42xyz motif 3 ; ", {"motif"}).id, 42);
  EXPECT_EQ(scoreRecord("abc motif 3 ; ", {}).id, 0);
}

TEST(TextScore, ReportLineBytes) {
  EXPECT_EQ(reportLine({7, 3}), "document d'id 7 a 3 mots en commun sur avec votre fichier\n");
}

}  // namespace
}  // namespace text
