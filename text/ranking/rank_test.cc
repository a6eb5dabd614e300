#include "text/ranking/rank.h"

#include <gtest/gtest.h>

#include <vector>

#include "text/ranking/ranked_file_writer.h"
#include "text/ranking/verdict.h"

namespace textrank {
namespace {

// Four documents of the same kind; the third is in Latin-1.
const char* const kTexts[] = {
    "<article><p>La commande rm supprime chaque fichier indiqu\xC3\xA9. Par d\xC3\xA9" "faut, elle ne "
    "supprime pas les r\xC3\xA9pertoires. Si l'option -I est donn\xC3\xA9" "e et qu'il y a plus de trois "
    "fichiers, rm demande une seule confirmation pour toute l'op\xC3\xA9ration.</p></article>",
    "<article><p>La commande tee lit l'entr\xC3\xA9" "e standard et l'\xC3\xA9" "crit \xC3\xA0 la fois sur la "
    "sortie standard et dans chaque fichier indiqu\xC3\xA9. Les fichiers sont cr\xC3\xA9\xC3\xA9s "
    "s'ils n'existent pas.</p></article>",
    "<article><p>Le d\xE9mon cron ex\xE9" "cute les commandes planifi\xE9" "es. Il cherche les tables "
    "des utilisateurs dans le r\xE9pertoire du spool et se r\xE9veille chaque minute pour examiner "
    "les t\xE2" "ches enregistr\xE9" "es.</p></article>",
    "<article><p>Le programme wc affiche le nombre de lignes, de mots et d'octets de chaque fichier "
    "indiqu\xC3\xA9, et le total quand plusieurs fichiers sont donn\xC3\xA9s.</p></article>",
};

class TextRankingRank : public ::testing::Test {
 protected:
  void SetUp() override {
    Describer d;
    const char* const names[] = {"rm.xml", "tee.xml", "cron.xml", "wc.xml"};
    descriptions_.reserve(4);
    std::vector<IndexedDocument> in;
    for (size_t i = 0; i < 4; ++i) {
      descriptions_.push_back(d.describe(kTexts[i]));
      in.push_back({static_cast<int64_t>(i + 1), names[i], &descriptions_[i]});
    }
    bytes_ = build_ranked_file(in);
  }
  ranking::Ranking query(std::string_view q) { return rank(RankedFile::open(bytes_), q); }

  std::vector<Description> descriptions_;
  std::string bytes_;
};

TEST_F(TextRankingRank, ExcerptIsNamedSourceInEveryForm) {
  const std::vector<std::string> forms = {
      // as it is, with marks
      "<requete>Par d\xC3\xA9" "faut, elle ne supprime pas les r\xC3\xA9pertoires. Si l'option -I est "
      "donn\xC3\xA9" "e</requete>",
      // lower-cased, marks gone
      "par d\xC3\xA9" "faut, elle ne supprime pas les r\xC3\xA9pertoires. si l'option -i est donn\xC3\xA9" "e",
      // re-encoded in Latin-1
      "Par d\xE9" "faut, elle ne supprime pas les r\xE9pertoires. Si l'option -I est donn\xE9" "e",
      // two typos and accents lost
      "Par defaut, elle ne suprime pas les repertoires. Si l'otpion -I est donnee",
  };
  for (const std::string& q : forms) {
    const ranking::Ranking r = query(q);
    ASSERT_FALSE(r.results.empty()) << q;
    EXPECT_EQ(r.results[0].name, "rm.xml") << q;
    EXPECT_TRUE(r.match) << q;
    EXPECT_EQ(r.match_label, "source");
    EXPECT_FALSE(r.best_candidate.has_value());
    EXPECT_GE(r.confidence, 0.5);
    EXPECT_LE(r.confidence, 1.0);
    EXPECT_DOUBLE_EQ(r.threshold, kSourceThreshold);
  }
  // The Latin-1 document, queried in UTF-8.
  const ranking::Ranking r =
      query("Il cherche les tables des utilisateurs dans le r\xC3\xA9pertoire du spool");
  ASSERT_FALSE(r.results.empty());
  EXPECT_EQ(r.results[0].name, "cron.xml");
  EXPECT_TRUE(r.match);
}

TEST_F(TextRankingRank, RewordingRanksFirstButIsNoSource) {
  const ranking::Ranking r =
      query("Elle ne retire pas les dossiers par d\xC3\xA9" "faut. Quand l'option -I est fournie");
  ASSERT_FALSE(r.results.empty());
  EXPECT_EQ(r.results[0].name, "rm.xml");
  EXPECT_FALSE(r.match);
  EXPECT_TRUE(r.match_label.empty());
  ASSERT_TRUE(r.best_candidate.has_value());
  EXPECT_EQ(r.best_candidate->name, "rm.xml");
  EXPECT_GT(r.confidence, 0.5);
}

TEST_F(TextRankingRank, UnrelatedAndShortQueries) {
  ranking::Ranking r = query("Les oiseaux migrateurs traversent la M\xC3\xA9" "diterran\xC3\xA9" "e en automne");
  EXPECT_TRUE(r.results.empty());
  EXPECT_FALSE(r.match);
  EXPECT_FALSE(r.best_candidate.has_value());
  EXPECT_DOUBLE_EQ(r.confidence, 1.0);  // sharing no word, surely no source
  // Found verbatim, but too short to name a source.
  r = query("chaque fichier indiqu\xC3\xA9");
  ASSERT_EQ(r.results.size(), 4u);
  EXPECT_FALSE(r.match);
  EXPECT_DOUBLE_EQ(r.confidence, 0.5);
  // Scores best first, every candidate with a score.
  for (size_t i = 1; i < r.results.size(); ++i) EXPECT_GE(r.results[i - 1].score, r.results[i].score);
  for (const ranking::Result& x : r.results) EXPECT_GT(x.score, 0.0);
}

TEST_F(TextRankingRank, EqualScoresByIdentifier) {
  // Two identical documents, listed as 7 then 5.
  Describer d;
  const Description same = d.describe("jardin potager");
  const IndexedDocument in[] = {{7, "b.xml", &same}, {5, "a.xml", &same}};
  const std::string bytes = build_ranked_file(in);
  const ranking::Ranking r = rank(RankedFile::open(bytes), "potager");
  ASSERT_EQ(r.results.size(), 2u);
  EXPECT_EQ(r.results[0].id, 5);
  EXPECT_EQ(r.results[1].id, 7);
  EXPECT_EQ(r.results[0].score, r.results[1].score);
}

}  // namespace
}  // namespace textrank
