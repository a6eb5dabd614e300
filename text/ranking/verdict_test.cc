#include "text/ranking/verdict.h"

#include <gtest/gtest.h>

#include "text/ranking/describe.h"
#include "text/ranking/typos.h"

namespace textrank {
namespace {

TEST(TextRankingTypos, OneEditOrTwoForLongWords) {
  EXPECT_TRUE(within_typos("maison", {}, "maison"));
  EXPECT_TRUE(within_typos("maison", {}, "maisin"));    // replaced
  EXPECT_TRUE(within_typos("maison", {}, "masion"));    // swapped
  EXPECT_TRUE(within_typos("maison", {}, "maisons"));   // inserted
  EXPECT_TRUE(within_typos("maison", {}, "aison"));     // deleted
  EXPECT_FALSE(within_typos("maison", {}, "raisin"));
  EXPECT_FALSE(within_typos("maison", {}, "mais"));
  EXPECT_TRUE(within_typos("de", {}, "dr"));
  EXPECT_FALSE(within_typos("a", {}, "e"));             // one-letter words only equal
  EXPECT_TRUE(within_typos("documentation", {}, "docmuentatoin"));  // two swaps
  EXPECT_TRUE(within_typos("documentation", {}, "dokumentatin"));
  EXPECT_FALSE(within_typos("documentation", {}, "dokumantatin"));
  EXPECT_FALSE(within_typos("fichiers", {}, "fichie"));  // long on one side only: one edit
  EXPECT_TRUE(within_typos("fichiers", {}, "fichies"));
  // Glued words, read as one.
  EXPECT_TRUE(within_typos("la", "maison", "lamaison"));
  EXPECT_TRUE(within_typos("ma", "son", "maison"));
  EXPECT_FALSE(within_typos("la", "porte", "lamaison"));
}

double similarity(std::string_view query, std::string_view document) {
  Describer d;
  return verbatim_similarity(d.describe(query).words, d.describe(document).words);
}

const char kDocument[] =
    "<texte><p>Si la s\xC3\xA9" "curit\xC3\xA9 ou la stabilit\xC3\xA9 vous importent par-dessus tout : "
    "installez la version stable. Il s'agit du choix favori des utilisateurs.</p><p>Si vous \xC3\xAAtes "
    "un nouvel utilisateur installant une machine de bureau, d\xC3\xA9marrez avec la version stable. "
    "Certains logiciels sont un peu anciens, mais c'est l'environnement le moins bogu\xC3\xA9 pour "
    "travailler.</p></texte>";

TEST(TextRankingVerdict, ExcerptsLowerCasedOrWithTyposStaySources) {
  const char excerpt[] = "installez la version stable. Il s'agit du choix favori des utilisateurs. Si vous "
                         "\xC3\xAAtes un nouvel utilisateur installant une machine de bureau";
  EXPECT_DOUBLE_EQ(similarity(excerpt, kDocument), 1.0);
  EXPECT_DOUBLE_EQ(similarity("INSTALLEZ LA VERSION STABLE. IL S'AGIT DU CHOIX FAVORI DES UTILISATEURS. SI "
                              "VOUS \xC3\x8ATES UN NOUVEL UTILISATEUR INSTALLANT UNE MACHINE DE BUREAU",
                              kDocument),
                   1.0);
  // Three typos in 24 words: a letter replaced, two swapped, a blank lost.
  const double typos = similarity("installez la vresion stable. Il s'agit du choix favoru des utilisateurs. "
                                  "Si vous \xC3\xAAtes un nouvelutilisateur installant une machine de bureau",
                                  kDocument);
  EXPECT_GT(typos, kSourceThreshold);
  EXPECT_LT(typos, 1.0);
  // A typo on a one-letter word costs more, but not a whole word.
  const double short_word = similarity(excerpt + std::string(" x"), kDocument);
  EXPECT_GT(short_word, 0.97);
  EXPECT_LT(short_word, 1.0);
}

TEST(TextRankingVerdict, RewordingsAndOtherTextsAreNotSources) {
  // Words replaced and moved.
  EXPECT_LT(similarity("installez la stable version. C'est le choix pr\xC3\xA9" "f\xC3\xA9r\xC3\xA9 des usagers. "
                       "Si vous \xC3\xAAtes un utilisateur nouveau qui installe un ordinateur de bureau",
                       kDocument),
            kSourceThreshold - 0.2);
  EXPECT_LT(similarity("Les tables de partition se trouvent au d\xC3\xA9" "but du disque et d\xC3\xA9" "crivent",
                       kDocument),
            0.3);
  // Two stretches of the document far apart are not one excerpt.
  EXPECT_LT(similarity("Si la s\xC3\xA9" "curit\xC3\xA9 ou la stabilit\xC3\xA9 vous importent "
                       "l'environnement le moins bogu\xC3\xA9 pour travailler",
                       kDocument),
            kSourceThreshold);
  EXPECT_EQ(verbatim_similarity("", "a b c"), 0.0);
  EXPECT_EQ(verbatim_similarity("a b c", ""), 0.0);
}

TEST(TextRankingVerdict, JudgeAndConfidence) {
  Verdict v = judge(1.0, 30, 0.9, 6);
  EXPECT_TRUE(v.source);
  EXPECT_DOUBLE_EQ(v.confidence, 1.0);
  v = judge(0.9, 30, 0.9, 6);
  EXPECT_TRUE(v.source);
  EXPECT_DOUBLE_EQ(v.confidence, 0.5);
  v = judge(0.0, 30, 0.9, 6);
  EXPECT_FALSE(v.source);
  EXPECT_DOUBLE_EQ(v.confidence, 1.0);
  v = judge(0.45, 30, 0.9, 6);
  EXPECT_FALSE(v.source);
  EXPECT_DOUBLE_EQ(v.confidence, 0.75);
  // Too short to name a source, whatever the similarity.
  v = judge(1.0, 5, 0.9, 6);
  EXPECT_FALSE(v.source);
  EXPECT_DOUBLE_EQ(v.confidence, 0.5);
  // Out-of-range similarities are clamped.
  EXPECT_DOUBLE_EQ(judge(1.5, 30, 0.9, 6).confidence, 1.0);
  EXPECT_DOUBLE_EQ(judge(-1, 30, 0.9, 6).confidence, 1.0);
}

}  // namespace
}  // namespace textrank
