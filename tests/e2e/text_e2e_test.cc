// End-to-end cases of the text side: "indexation" (text list, descriptor
// base, inverted index, scratch space) and "comparaison texte PATH".
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/e2e/harness.h"
#include "tests/e2e/text_fixtures.h"

using e2e::Store;

namespace {

const char kClosing[] = "tous les documents xml ont bien été indexés !\n";
const char kList[] = "EXTERN_FILES/database/base_texte/liste_base_texte.txt";
const char kBase[] = "EXTERN_FILES/database/base_texte/base_descripteur_texte.txt";
const char kIndex[] = "EXTERN_FILES/database/base_texte/table_index_texte.txt";
const char kQueryDescriptor[] = "EXTERN_FILES/database/base_texte/descripteur_temporaire.txt";
const char kEmpilerProblem[] = "ERREUR :  PB avec fonction empiler descripteurs\n";

using e2e::doc;
using e2e::repeat;
using e2e::textListLine;
using e2e::textRecord;

void addText(const Store& s, const std::string& name, const std::string& content) {
  s.write(std::string(e2e::kTexts) + name, content);
}

void setThreshold(const Store& s, const std::string& value) {
  std::string config = e2e::kDefaultConfig;
  config.replace(config.find("txt_nboccurrences: 3"), 20, "txt_nboccurrences: " + value);
  s.write(e2e::kConfig, config);
}

// Runs "indexation" and checks the text side's part of the outcome.
void indexOk(const Store& s) {
  const auto r = s.engine({"indexation"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind(kClosing, 0), 0u) << r.out;
}

TEST(TextIndexation, RegistersDescribesAndIndexesEveryListedDocument) {
  Store s;
  const std::string a = "<?xml version=\"1.0\"?>\n<doc>\n<titre>La maison</titre>\n"
                        "<texte>La maison, le jardin; la maison! Le jardin (grand) et la maison.\n"
                        "Un jardin.</texte>\n</doc>\n";
  addText(s, "a.xml", a);
  addText(s, "b.xml", doc(repeat("Maison", 4) + repeat("arbre", 3)));
  addText(s, "c.xml", doc("rien de frequent"));
  indexOk(s);
  EXPECT_EQ(s.read(kList), textListLine(1, "a.xml") + textListLine(2, "b.xml") + textListLine(3, "c.xml"));
  EXPECT_EQ(s.read(kBase), textRecord(1, "maison 4 ; jardin 3 ; ") + textRecord(2, "Maison 4 ; arbre 3 ; ") +
                               textRecord(3, ""));
  EXPECT_EQ(s.read(kIndex),
            "<mot> maison </mot> <key_nb> 1 4 ; 2 4  </key_nb> \n"
            "<mot> jardin </mot> <key_nb> 1 3  </key_nb> \n"
            "<mot> arbre </mot> <key_nb> 2 3  </key_nb> \n");
  // The scratch space holds each document's copy and pure text, and the
  // two temporary tables, empty.
  EXPECT_EQ(s.read("INDEXATION/temp_txt/cpy/a.xml"), a);
  EXPECT_EQ(s.read("INDEXATION/temp_txt/pure_txts/a.xml"),
            "\n\nLa maison\nLa maison le jardin la maison Le jardin grand et la maison\nUn jardin\n\n");
  EXPECT_EQ(s.list("INDEXATION/temp_txt"),
            (std::vector<std::string>{"cpy", "pure_txts", "table_index_texte_temp"}));
  EXPECT_EQ(s.list("INDEXATION/temp_txt/pure_txts"),
            (std::vector<std::string>{"a.xml", "b.xml", "c.xml"}));
  EXPECT_EQ(s.read("INDEXATION/temp_txt/table_index_texte_temp"), "");
  EXPECT_EQ(s.read("INDEXATION/table_index_texte_temp"), "");
  // No staging file is left beside the bases.
  EXPECT_EQ(s.list("EXTERN_FILES/database/base_texte"),
            (std::vector<std::string>{"base_descripteur_texte.txt", "classement_texte.idx", "liste_base_texte.txt",
                                      "table_index_texte.txt"}));
}

TEST(TextIndexation, EmptyCorpusGivesEmptyBasesAndTheClosingMessage) {
  Store s;
  s.write(kList, "<id> 1 </id> <filename> old.xml </filename>\n");
  indexOk(s);
  EXPECT_EQ(s.read(kList), "");
  EXPECT_EQ(s.read(kBase), "");
  EXPECT_EQ(s.read(kIndex), "");
}

TEST(TextIndexation, EveryNameIsRegisteredOnceWhateverItMatches) {
  // Names that a pattern search over the list would have found already.
  Store s;
  for (const char* name : {"ax.xml", "x.xml", "id", "1", "a.xml", "a"}) addText(s, name, doc(repeat("texte", 3)));
  addText(s, "avec blanc.xml", doc("x"));  // refused: a name must be one token
  const auto r = s.engine({"indexation"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("avec blanc.xml"), std::string::npos) << r.err;
  const std::string list = s.read(kList);
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 6) << list;
  for (const char* name : {"ax.xml", "x.xml", "id", "1", "a.xml", "a"})
    EXPECT_NE(list.find(std::string(" ") + name + " </filename>"), std::string::npos) << name;
  std::string expected_base;
  for (int id = 1; id <= 6; ++id) expected_base += textRecord(id, "texte 3 ; ");
  EXPECT_EQ(s.read(kBase), expected_base);
  EXPECT_EQ(s.read(kIndex), "<mot> texte </mot> <key_nb> 1 3 ; 2 3 ; 3 3 ; 4 3 ; 5 3 ; 6 3  </key_nb> \n");
}

TEST(TextIndexation, ApostrophesMarksAndRelevanceRules) {
  Store s;
  addText(s, "d.xml",
          "avant avant avant <doc>"
          "l'arbre l'arbre l'arbre "      // apostrophe: "l" dropped, "arbre" kept
          "mai<i>son</i> mai<b>son</b> maison "  // a mark glues its halves
          "chat chat chat chat "          // 4 bytes: kept
          "les les les les "              // 3 bytes: never
          "DANS Dans dans dans "          // stop word, any ASCII case
          "\xE0\x62\x63\x64 \xE0\x62\x63\x64 \xE0\x62\x63\x64 "  // first byte 0xE0
          "été été été "                  // 5 bytes in UTF-8
          "fin.</doc> apres apres apres");
  indexOk(s);
  EXPECT_EQ(s.read(kBase), textRecord(1, "arbre 3 ; maison 3 ; chat 4 ; été 3 ; apres 3 ; "));
}

TEST(TextIndexation, OnlyTextBeforeTheFirstMarkGivesAnEmptyRecord) {
  Store s;
  addText(s, "t.xml", repeat("maison", 5) + "<doc/>");
  addText(s, "u.xml", "<doc/>\n \t \n");
  indexOk(s);
  EXPECT_EQ(s.read(kBase), textRecord(1, "") + textRecord(2, ""));
  EXPECT_EQ(s.read("INDEXATION/temp_txt/pure_txts/t.xml"), "");
}

TEST(TextIndexation, WordInsideAnEarlierWordIsKept) {
  Store s;
  addText(s, "m.xml", doc(repeat("maison", 3) + repeat("mais", 3) + repeat("aison", 3)));
  indexOk(s);
  EXPECT_EQ(s.read(kBase), textRecord(1, "maison 3 ; mais 3 ; aison 3 ; "));
}

TEST(TextIndexation, ThresholdValues) {
  const std::string body = doc(repeat("soleil", 1) + repeat("nuage", 2) + repeat("pluie", 3) + "les les");
  struct Case {
    std::string config;  // "" keeps the default file
    std::string words;
  } cases[] = {
      {"", "pluie 3 ; "},
      {"0", "soleil 1 ; nuage 2 ; pluie 3 ; "},   // 0 is a value, not a gap to skip
      {"-4", "soleil 1 ; nuage 2 ; pluie 3 ; "},
      {"2x", "nuage 2 ; pluie 3 ; "},
      {"4", ""},
  };
  for (const Case& c : cases) {
    Store s;
    if (!c.config.empty()) setThreshold(s, c.config);
    addText(s, "p.xml", body);
    indexOk(s);
    EXPECT_EQ(s.read(kBase), textRecord(1, c.words)) << c.config;
  }
  // Key absent, or last token of the file: 3.
  for (const char* config : {"NbBit_NB: 4\n", "NbBit_NB: 4\ntxt_nboccurrences:"}) {
    Store s;
    s.write(e2e::kConfig, config);
    addText(s, "p.xml", body);
    indexOk(s);
    EXPECT_EQ(s.read(kBase), textRecord(1, "pluie 3 ; ")) << config;
  }
}

TEST(TextIndexation, UnreadableConfigurationGivesItsMessagePerDocumentAndThree) {
  Store s(/*with_config=*/false);
  s.write(std::string(e2e::kConfig) + "/inside", "");  // a directory in its place
  addText(s, "p.xml", doc(repeat("pluie", 3) + repeat("nuage", 2)));
  addText(s, "q.xml", doc(repeat("nuage", 3)));
  const auto r = s.engine({"indexation"});
  EXPECT_EQ(r.out.rfind(kClosing, 0), 0u) << r.out;
  const std::string message = "ERREUR :  PB avec fonction recupParamConfigTexte\n";
  size_t seen = 0;
  for (size_t at = r.err.find(message); at != std::string::npos; at = r.err.find(message, at + 1)) ++seen;
  EXPECT_EQ(seen, 2u) << r.err;
  EXPECT_EQ(s.read(kBase), textRecord(1, "pluie 3 ; ") + textRecord(2, "nuage 3 ; "));
}

TEST(TextIndexation, IndexGroupsWordsThatDifferOnlyInAsciiCase) {
  Store s;
  addText(s, "1.xml", doc(repeat("Maison", 3) + repeat("porte", 4)));
  addText(s, "2.xml", doc(repeat("porte", 3)));
  addText(s, "3.xml", doc(repeat("maison", 5) + repeat("MAISON", 3) + repeat("Étage", 3) + repeat("éTAGE", 3)));
  indexOk(s);
  EXPECT_EQ(s.read(kIndex),
            "<mot> Maison </mot> <key_nb> 1 3 ; 3 5 ; 3 3  </key_nb> \n"
            "<mot> porte </mot> <key_nb> 1 4 ; 2 3  </key_nb> \n"
            "<mot> Étage </mot> <key_nb> 3 3  </key_nb> \n"
            "<mot> éTAGE </mot> <key_nb> 3 3  </key_nb> \n");
}

TEST(TextIndexation, SecondRunRebuildsTheSameBasesAndAFreshScratchSpace) {
  Store s;
  addText(s, "a.xml", doc(repeat("maison", 3)));
  addText(s, "b.xml", doc(repeat("jardin", 3)));
  indexOk(s);
  const std::string list = s.read(kList), base = s.read(kBase), index = s.read(kIndex);
  s.write("INDEXATION/temp_txt/cpy/stale.xml", "old");
  s.write("INDEXATION/temp_txt/table_index_texte_temp", "1 stale 3\n");
  indexOk(s);
  EXPECT_EQ(s.read(kList), list);
  EXPECT_EQ(s.read(kBase), base);
  EXPECT_EQ(s.read(kIndex), index);
  EXPECT_EQ(s.list("INDEXATION/temp_txt/cpy"), (std::vector<std::string>{"a.xml", "b.xml"}));
  EXPECT_EQ(s.read("INDEXATION/temp_txt/table_index_texte_temp"), "");
}

TEST(TextIndexation, ScratchFilesAreRewrittenWithoutTouchingAnythingOutside) {
  namespace fs = std::filesystem;
  Store s;
  addText(s, "a.xml", doc(repeat("longtemps", 30)));
  addText(s, "b.xml", doc(repeat("jardin", 3)));
  addText(s, "c.xml", doc(repeat("ciel", 3)));
  indexOk(s);
  // Plant a link to a file outside, a directory, a file with a second name,
  // and stray entries; then shorten a document.
  s.write("outside.txt", "dehors");
  s.write("linked.txt", "lien");
  s.remove("INDEXATION/temp_txt/cpy/a.xml");
  fs::create_symlink(s.path("outside.txt"), s.path("INDEXATION/temp_txt/cpy/a.xml"));
  s.remove("INDEXATION/temp_txt/pure_txts/b.xml");
  s.write("INDEXATION/temp_txt/pure_txts/b.xml/sub", "x");
  s.remove("INDEXATION/temp_txt/cpy/c.xml");
  fs::create_hard_link(s.path("linked.txt"), s.path("INDEXATION/temp_txt/cpy/c.xml"));
  s.write("INDEXATION/temp_txt/fic_tempLIST.xml", "a.xml\n");
  s.write("INDEXATION/temp_txt/autre/f", "x");
  addText(s, "a.xml", doc(repeat("court", 3)));
  indexOk(s);
  EXPECT_EQ(s.read("outside.txt"), "dehors");
  EXPECT_EQ(s.read("linked.txt"), "lien");
  EXPECT_FALSE(fs::is_symlink(s.path("INDEXATION/temp_txt/cpy/a.xml")));
  EXPECT_EQ(s.read("INDEXATION/temp_txt/cpy/a.xml"), doc(repeat("court", 3)));
  EXPECT_EQ(s.read("INDEXATION/temp_txt/pure_txts/a.xml"), repeat("court", 3) + "\n");
  EXPECT_EQ(s.read("INDEXATION/temp_txt/pure_txts/b.xml"), repeat("jardin", 3) + "\n");
  EXPECT_EQ(s.read("INDEXATION/temp_txt/cpy/c.xml"), doc(repeat("ciel", 3)));
  EXPECT_EQ(s.list("INDEXATION/temp_txt"),
            (std::vector<std::string>{"cpy", "pure_txts", "table_index_texte_temp"}));
  EXPECT_EQ(s.read(kBase), textRecord(1, "court 3 ; ") + textRecord(2, "jardin 3 ; ") + textRecord(3, "ciel 3 ; "));
}

TEST(TextIndexation, MissingBaseDirectoryIsReportedAndLeavesTheStoreAlone) {
  Store s;
  addText(s, "a.xml", doc(repeat("maison", 3)));
  s.write("INDEXATION/temp_txt/cpy/kept.xml", "x");
  s.remove("EXTERN_FILES/database/base_texte");
  const auto r = s.engine({"indexation"});
  EXPECT_EQ(r.status, 1);
  // The closing line is printed only for a text base written.
  EXPECT_EQ(r.out.find(kClosing), std::string::npos) << r.out;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find("base_texte"), std::string::npos) << r.err;
  EXPECT_TRUE(s.exists("INDEXATION/temp_txt/cpy/kept.xml"));
  EXPECT_FALSE(s.exists("EXTERN_FILES/database/base_texte"));
}

TEST(TextIndexation, MissingCorpusDirectoryGivesEmptyBases) {
  Store s;
  addText(s, "a.xml", doc(repeat("maison", 3)));
  indexOk(s);
  s.remove(e2e::kTexts);
  const auto r = s.engine({"indexation"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind(kClosing, 0), 0u) << r.out;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_EQ(s.read(kList), "");
  EXPECT_EQ(s.read(kBase), "");
  EXPECT_EQ(s.read(kIndex), "");
  EXPECT_EQ(s.list("INDEXATION/temp_txt/cpy"), std::vector<std::string>{});
}

// ---- comparison ----

TEST(TextComparison, ListsDocumentsSharingTwoWordsLastRegisteredFirst) {
  Store s;
  addText(s, "1.xml", doc(repeat("maison", 3) + repeat("jardin", 3) + repeat("arbre", 3)));
  addText(s, "2.xml", doc(repeat("maison", 3) + repeat("voiture", 3)));             // one shared word
  addText(s, "3.xml", doc(repeat("maisonnette", 3) + repeat("jardinier", 4) + repeat("arbres", 3)));
  addText(s, "4.xml", doc(repeat("ciel", 5)));
  addText(s, "5.xml", doc(repeat("maison", 3) + repeat("jardin", 3) + repeat("maisons", 3)));
  indexOk(s);
  s.write("q.xml", doc(repeat("maison", 3) + repeat("jardin", 4) + repeat("arbre", 3) + "ciel"));
  const auto r = s.engine({"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // Document 3 shares by prefix ("maison" in "maisonnette"...); document 5
  // holds "maison" in two words and still counts it once.
  EXPECT_EQ(r.out,
            "document d'id 5 a 2 mots en commun sur avec votre fichier\n"
            "document d'id 3 a 3 mots en commun sur avec votre fichier\n"
            "document d'id 1 a 3 mots en commun sur avec votre fichier\n");
  EXPECT_FALSE(s.exists(kQueryDescriptor));
  // The query's copy and pure text stay in the scratch space under its bare name.
  EXPECT_EQ(s.read("INDEXATION/temp_txt/cpy/q.xml"), s.read("q.xml"));
  EXPECT_TRUE(s.exists("INDEXATION/temp_txt/pure_txts/q.xml"));
}

TEST(TextComparison, EmptyBaseOrNoMatchPrintsNothingAndRemovesTheDescriptor) {
  Store s;
  indexOk(s);
  s.write("q.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
  s.write(kQueryDescriptor, "stale");
  auto r = s.engine({"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_FALSE(s.exists(kQueryDescriptor));
}

TEST(TextComparison, IdentifiersAndCountsNeverMatchAQueryWord) {
  Store s;
  s.write(kBase, textRecord(1000, "maison 1000 ; jardin 4 ; ") + textRecord(7, "arbre 3 ; fleur 3 ; "));
  s.write("q.xml", doc(repeat("1000", 3) + repeat("maison", 3) + repeat("jardin", 3)));
  const auto r = s.engine({"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "document d'id 1000 a 2 mots en commun sur avec votre fichier\n");
}

TEST(TextComparison, IncompleteLastRecordIsNotCompared) {
  Store s;
  s.write(kBase, textRecord(1, "maison 3 ; jardin 3 ; ") + "<debut> <id> 2 </id> <mots> maison 3 ; jardin 3 ; ");
  s.write("q.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
  const auto r = s.engine({"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(r.out, "document d'id 1 a 2 mots en commun sur avec votre fichier\n");
}

TEST(TextComparison, MissingBaseGivesTheMessageTwiceAndStatusOne) {
  Store s;
  s.write("q.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
  const auto r = s.engine({"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, std::string(kEmpilerProblem) + kEmpilerProblem);
  EXPECT_FALSE(s.exists(kQueryDescriptor));
}

TEST(TextComparison, MissingBaseDirectoryCannotHoldTheQueryDescriptor) {
  Store s;
  s.remove("EXTERN_FILES/database/base_texte");
  s.write("q.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
  const auto r = s.engine({"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, std::string("ERREUR :  PB avec fonction searchOccurencesAndInsertBD2\n") +
                       "engine: descripteur temporaire non écrit : ../EXTERN_FILES/database/base_texte/"
                       "descripteur_temporaire.txt : No such file or directory\n" +
                       kEmpilerProblem + kEmpilerProblem);
}

TEST(TextComparison, UnusableQueryPathIsOneLineAndStatusOne) {
  Store s;
  s.write(kBase, textRecord(1, "maison 3 ; jardin 3 ; "));
  s.write("dir/inside", "");
  for (const std::string path : {"../absent.xml", "../dir", "../dir/", "", "/"}) {
    s.write(kQueryDescriptor, "stale");
    const auto r = s.engine({"comparaison", "texte", path});
    EXPECT_EQ(r.status, 1) << path;
    EXPECT_EQ(r.out, "") << path;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << path << ": " << r.err;
    if (!path.empty()) {
      EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
    }
    EXPECT_FALSE(s.exists(kQueryDescriptor)) << path;
  }
}

TEST(TextComparison, MissingScratchSpaceIsMadeAgain) {
  Store s;
  addText(s, "1.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
  indexOk(s);
  s.remove("INDEXATION/temp_txt");
  s.write("q.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
  const auto r = s.engine({"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "document d'id 1 a 2 mots en commun sur avec votre fichier\n");
  EXPECT_TRUE(s.exists("INDEXATION/temp_txt/pure_txts/q.xml"));
}

}  // namespace
