#include "text/describe.h"

#include <gtest/gtest.h>

namespace text {
namespace {

TEST(TextPunctuation, OnlyTheNineBytesArePunctuation) {
  int dropped = 0;
  for (int c = 0; c < 256; ++c) dropped += testPonctuation_TEXTE(static_cast<unsigned char>(c)) == 0;
  EXPECT_EQ(dropped, 9);
  for (const char c : std::string(".,;?!)(:%")) EXPECT_EQ(testPonctuation_TEXTE(c), 0) << c;
  for (const char c : std::string("\"'-/0a<>\n")) EXPECT_EQ(testPonctuation_TEXTE(c), 1) << c;
}

TEST(TextMarkStripping, KeepsOnlyTextAfterAMarkAndOutsideMarks) {
  EXPECT_EQ(sortMeBalises("avant <doc a=\"x.y\">dans, le: texte!</doc> apres."),
            "dans le texte apres");
  EXPECT_EQ(sortMeBalises("aucune marque ici"), "");
  EXPECT_EQ(sortMeBalises(""), "");
  // A mark inside a word glues its halves; an apostrophe splits.
  EXPECT_EQ(sortMeBalises("<p>mai<b>son</b> l'arbre</p>"), "maison l arbre");
  // White space, line feeds and bytes >= 0x80 pass; a lone ">" opens the text.
  EXPECT_EQ(sortMeBalises("x> été\n\tça"), " été\n\tça");
  // A "<" without its ">" drops everything after it.
  EXPECT_EQ(sortMeBalises("<t>debut <non fermee"), "debut ");
  // A ">" met in the text is not kept.
  EXPECT_EQ(sortMeBalises("<t>a > b"), "a  b");
  EXPECT_EQ(sortMeBalises("<t>100% (vrai) ; \"cite\" - a/b"), "100 vrai  \"cite\" - a/b");
}

TEST(TextRelevance, LengthFirstByteAndStopWords) {
  EXPECT_EQ(verifyPertinence("abc"), 0);
  EXPECT_EQ(verifyPertinence("abcd"), 1);
  EXPECT_EQ(verifyPertinence("été"), 1);       // 5 bytes
  EXPECT_EQ(verifyPertinence("ét"), 0);        // 3 bytes
  EXPECT_EQ(verifyPertinence("\xE0" "ccord"), 0);
  EXPECT_EQ(verifyPertinence("\xC3\xA0" "cote"), 1);  // UTF-8 à starts with 0xC3
  for (const char* w : {"dans", "DANS", "Dans", "pour", "avec", "elle", "nous", "vOUs", "sont"})
    EXPECT_EQ(verifyPertinence(w), 0) << w;
  EXPECT_EQ(verifyPertinence("dansent"), 1);
  EXPECT_EQ(verifyPertinence("d\xC3\xA2ns"), 1);  // non-ASCII letters are not folded
}

TEST(TextSelection, CountsIncludeTheWordItselfAndKeepFirstOccurrenceOrder) {
  EXPECT_EQ(searchOccurencesAndInsertBD("jardin maison jardin maison jardin maison maison", 3),
            "jardin 3 ; maison 4 ; ");
  EXPECT_EQ(searchOccurencesAndInsertBD("jardin maison jardin", 3), "");
  // Case and punctuation-free forms are distinct words.
  EXPECT_EQ(searchOccurencesAndInsertBD("Maison maison Maison maison Maison", 3), "Maison 3 ; ");
}

TEST(TextSelection, ExactWordEqualityNotSubstring) {
  // "mais" lies inside "maison", and "1000" would lie inside a count text.
  EXPECT_EQ(searchOccurencesAndInsertBD("maison mais maison mais maison mais", 3),
            "maison 3 ; mais 3 ; ");
  std::string many;
  for (int i = 0; i < 1000; ++i) many += "arbre ";
  for (int i = 0; i < 3; ++i) many += "1000 ";
  EXPECT_EQ(searchOccurencesAndInsertBD(many, 3), "arbre 1000 ; 1000 3 ; ");
}

TEST(TextSelection, RelevanceAndThresholdValues) {
  const std::string pure = "les les les chat chat dans dans dans \xE0lui \xE0lui \xE0lui soleil";
  EXPECT_EQ(searchOccurencesAndInsertBD(pure, 3), "");
  EXPECT_EQ(searchOccurencesAndInsertBD(pure, 2), "chat 2 ; ");
  EXPECT_EQ(searchOccurencesAndInsertBD(pure, 0), "chat 2 ; soleil 1 ; ");
  EXPECT_EQ(searchOccurencesAndInsertBD(pure, -5), "chat 2 ; soleil 1 ; ");
  EXPECT_EQ(searchOccurencesAndInsertBD(pure, INT64_MAX), "");
  EXPECT_EQ(searchOccurencesAndInsertBD(" \n\t ", -1), "");
}

}  // namespace
}  // namespace text
