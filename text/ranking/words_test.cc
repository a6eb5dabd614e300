#include "text/ranking/words.h"

#include <gtest/gtest.h>

#include <vector>

#include "text/ranking/describe.h"
#include "text/ranking/stop_words.h"

namespace textrank {
namespace {

std::vector<std::string> words_of(std::string_view text) {
  std::vector<std::string> out;
  for_each_word(text, [&](std::string_view w) { out.emplace_back(w); });
  return out;
}

std::string lower(std::string_view w) {
  std::string out;
  append_lower_word(out, w);
  return out;
}

std::string folded(std::string_view w) {
  std::string out;
  append_folded_word(out, w);
  return out;
}

TEST(TextRankingWords, SplitAtNonLettersAndApostrophes) {
  using V = std::vector<std::string>;
  EXPECT_EQ(words_of("L'arbre, l\xE2\x80\x99" "eau ; aide-m\xC3\xA9moire 3.1.8x"),
            (V{"L", "arbre", "l", "eau", "aide", "m\xC3\xA9moire", "x"}));
  // No-break space, guillemets, × and the modifier apostrophe separate;
  // accented and combining letters do not.
  EXPECT_EQ(words_of("\xC2\xAB" "a\xC2\xA0" "b\xC2\xBB 2\xC3\x97" "3 l\xCA\xBC" "a e\xCC\x81t\xC3\xA9"),
            (V{"a", "b", "l", "a", "e\xCC\x81t\xC3\xA9"}));
  // Whatever their alignment: × and ÷ split, other Latin letters with the
  // same last byte (ė, ķ) do not, nor do accents in long words.
  for (const std::string pad : {"", "a", "aa", "aaa", "aaaa", "aaaaa", "aaaaaa", "aaaaaaa"}) {
    EXPECT_EQ(words_of(pad + "d\xC3\xA9velopp\xC3\xA9" "es\xC3\x97install\xC3\xA9" "es\xC3\xB7x"),
              (V{pad + "d\xC3\xA9velopp\xC3\xA9" "es", "install\xC3\xA9" "es", "x"}));
    EXPECT_EQ(words_of(pad + "\xC4\x97\xC4\xB7\xC4\x97\xC4\xB7\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 z"),
              (V{pad + "\xC4\x97\xC4\xB7\xC4\x97\xC4\xB7\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", "z"}));
    EXPECT_EQ(words_of(pad + "abcdefgh\xE2\x80\x99" "ijklmnop\xC2\xA0qr"),
              (V{pad + "abcdefgh", "ijklmnop", "qr"}));
  }
  EXPECT_EQ(words_of(""), V{});
  EXPECT_EQ(words_of("  ...  "), V{});
  EXPECT_EQ(words_of("fin"), V{"fin"});
}

TEST(TextRankingWords, LowerCaseIsUnicodeAwareForLatin) {
  EXPECT_EQ(lower("\xC3\x80\xC3\x89\xC3\x8E\xC3\x98\xC3\x9E\xC3\x97"),
            "\xC3\xA0\xC3\xA9\xC3\xAE\xC3\xB8\xC3\xBE\xC3\x97");  // ÀÉÎØÞ× -> àéîøþ×
  EXPECT_EQ(lower("\xC5\x92UVRE \xC5\xB8 \xC4\xB0"), "\xC5\x93uvre \xC3\xBF i");  // ŒUVRE Ÿ İ
  EXPECT_EQ(lower("\xC4\xB9\xC5\xB9\xC4\x8C"), "\xC4\xBA\xC5\xBA\xC4\x8D");      // ĹŹČ
  EXPECT_EQ(lower("\xCE\xA3\xD0\x96"), "\xCF\x83\xD0\xB6");                      // ΣЖ
}

TEST(TextRankingWords, FoldingStripsAccentsAndSplitsLigatures) {
  EXPECT_EQ(folded("\xC3\xA9t\xC3\xA9 \xC3\xA0 \xC3\xA7\xC3\xA0"), "ete a ca");
  EXPECT_EQ(folded("c\xC5\x93ur \xC3\xA6 \xC3\x9F \xEF\xAC\x81n"), "coeur ae ss fin");
  EXPECT_EQ(folded("e\xCC\x81" "e"), "ee");                     // combining acute dropped
  EXPECT_EQ(folded("\xC5\xBF\xC4\xB3"), "sij");                 // ſ ĳ
  EXPECT_EQ(folded("\xCF\x83"), "\xCF\x83");                    // σ has no plainer form
}

TEST(TextRankingWords, FrenchStopWords) {
  for (const char* w : {"le", "de", "a", "ete", "etaient", "sont", "qu", "l", "vous"})
    EXPECT_TRUE(is_stop_word(w)) << w;
  for (const char* w : {"maison", "fichier", "", "lees", "zz"}) EXPECT_FALSE(is_stop_word(w)) << w;
}

TEST(TextRankingDescribe, StemsCountedStopWordsDroppedWordsKept) {
  Describer d;
  const Description x = d.describe("<p>Les Maisons</p> de l'\xC3\x89t\xC3\xA9, la maison ; FICHIERS fichier");
  EXPECT_EQ(x.words, "les maisons de l ete la maison fichiers fichier");
  ASSERT_EQ(x.terms.size(), 2u);
  EXPECT_EQ(x.stem(x.terms[0]), "maison");
  EXPECT_EQ(x.terms[0].count, 2u);
  EXPECT_EQ(x.stem(x.terms[1]), "fichi");
  EXPECT_EQ(x.terms[1].count, 2u);
  EXPECT_EQ(x.length, 4u);
  // Accents are folded after stemming: the stem of "entrée" is "entre".
  const Description y = d.describe("L\xE2\x80\x99" "entr\xC3\xA9" "e \xC3\xA9tait ferm\xC3\xA9" "e");
  ASSERT_EQ(y.terms.size(), 2u);
  EXPECT_EQ(y.stem(y.terms[0]), "entre");
  EXPECT_EQ(y.stem(y.terms[1]), "ferm");
  EXPECT_EQ(y.words, "l entree etait fermee");
}

TEST(TextRankingDescribe, CacheNeverChangesAResult) {
  // The same bytes through a fresh describer and through one that has seen
  // other documents, in either encoding.
  const std::string utf8 = "Caf\xC3\xA9 cr\xC3\xA8me et CAF\xC3\x89S " + std::string(100, 'x');
  const std::string latin1 = "Caf\xE9 cr\xE8me et CAF\xC9S " + std::string(100, 'x');
  Describer warm;
  warm.describe("caf\xC3\xA9s cr\xC3\xA8mes autre texte");
  const Description a = Describer().describe(utf8);
  const Description b = warm.describe(utf8);
  const Description c = warm.describe(latin1);
  for (const Description* x : {&b, &c}) {
    EXPECT_EQ(x->words, a.words);
    EXPECT_EQ(x->stems, a.stems);
    EXPECT_EQ(x->length, a.length);
    ASSERT_EQ(x->terms.size(), a.terms.size());
    for (size_t i = 0; i < a.terms.size(); ++i) EXPECT_EQ(x->terms[i].count, a.terms[i].count);
  }
  EXPECT_EQ(a.words, "cafe creme et cafes " + std::string(100, 'x'));
}

TEST(TextRankingDescribe, AccentsAloneMakeNoWord) {
  const Description x = Describer().describe("a \xCC\x81 b \xCC\x81\xCC\x81");
  EXPECT_EQ(x.words, "a b");
  ASSERT_EQ(x.terms.size(), 1u);
  EXPECT_EQ(x.stem(x.terms[0]), "b");
}

}  // namespace
}  // namespace textrank
