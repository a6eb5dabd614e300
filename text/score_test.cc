#include "text/score.h"

#include <gtest/gtest.h>

namespace text {
namespace {

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

TEST(TextScore, BaseScoredLastRecordFirstAndReportKeepsTwoWordsOrMore) {
  const std::string base =
      "<debut> <id> 1 </id> <mots> maison 5 ; jardin 4 ;   </mots> </fin>\n"
      "<debut> <id> 2 </id> <mots> maison 3 ;   </mots> </fin>\n"
      "<debut> <id> 3 </id> <mots> jardinier 3 ; maisonnette 4 ; arbre 3 ;   </mots> </fin>\n"
      "<debut> <id> 4 </id> <mots> maison 3 ; ";  // cut: never scored
  const std::vector<Score> scores = scoreBase(base, {"maison", "jardin", "arbre"});
  ASSERT_EQ(scores.size(), 3u);
  EXPECT_EQ(scores[0].id, 3);
  EXPECT_EQ(scores[0].shared, 3);
  EXPECT_EQ(scores[2].id, 1);
  EXPECT_EQ(report(scores),
            "document d'id 3 a 3 mots en commun sur avec votre fichier\n"
            "document d'id 1 a 2 mots en commun sur avec votre fichier\n");
  EXPECT_EQ(report({}), "");
  EXPECT_TRUE(scoreBase("", {"a"}).empty());
}

TEST(TextScore, ReportLineBytes) {
  EXPECT_EQ(reportLine({7, 3}), "document d'id 7 a 3 mots en commun sur avec votre fichier\n");
}

}  // namespace
}  // namespace text
