#include "text/index_table.h"

#include <gtest/gtest.h>

namespace text {
namespace {

std::string record(int id, const std::string& words) {
  return "<debut> <id> " + std::to_string(id) + " </id> <mots> " + words + "  </mots> </fin>\n";
}

TEST(TextTemporaryTable, OneLinePerEntryInBaseOrder) {
  const std::string base = record(1, "maison 5 ; jardin 4 ; ") + record(2, "") + record(3, "arbre 3 ; ");
  const auto table = temporaryTable(base);
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(table[0].id, "1");
  EXPECT_EQ(table[0].word, "maison");
  EXPECT_EQ(table[0].count, "5");
  EXPECT_EQ(table[1].word, "jardin");
  EXPECT_EQ(table[2].id, "3");
  EXPECT_EQ(table[2].word, "arbre");
  EXPECT_EQ(table[2].count, "3");
}

TEST(TextTemporaryTable, FlagsCarryAcrossSectionsOfAnOddBase) {
  // The first list lacks its separator, so the flag that skips it eats the
  // first word of the next list; the pairing then goes on from there.
  const auto table = temporaryTable(
      "<id> 1 </id> <mots> a 4 </mots> </fin> <id> 2 </id> <mots> b 5 ; c 6 ; </mots> </fin>");
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(table[0].word, "a");
  EXPECT_EQ(table[0].count, "4");
  EXPECT_EQ(table[1].id, "2");
  EXPECT_EQ(table[1].word, "5");
  EXPECT_EQ(table[1].count, ";");
  EXPECT_EQ(table[2].word, "6");
  EXPECT_EQ(table[2].count, ";");
  // A word whose count never comes is left out; a missing "</mots>" lets the
  // next record's marks be read as entries, and the identifier still follows "<id>".
  const auto open = temporaryTable("<id> 1 </id> <mots> a 4 ; </fin> <id> 9 </id> <mots> b 2 ; x y");
  ASSERT_EQ(open.size(), 4u);
  EXPECT_EQ(open[1].id, "1");
  EXPECT_EQ(open[1].word, "</fin>");
  EXPECT_EQ(open[1].count, "<id>");
  EXPECT_EQ(open[2].id, "9");
  EXPECT_EQ(open[2].word, "</id>");
  EXPECT_EQ(open[2].count, "<mots>");
  EXPECT_EQ(open[3].word, "2");
}

TEST(TextInvertedIndex, SingleRecordBytes) {
  EXPECT_EQ(createTableIndexTexte(record(1, "W 4 ; ")), "<mot> W </mot> <key_nb> 1 4  </key_nb> \n");
  EXPECT_EQ(createTableIndexTexte(""), "");
  EXPECT_EQ(createTableIndexTexte(record(1, "") + record(2, "")), "");
}

TEST(TextInvertedIndex, GroupsIgnoringAsciiCaseNamedByFirstForm) {
  const std::string base = record(1, "Maison 4 ; jardin 3 ; ") + record(2, "arbre 3 ; ") +
                           record(3, "maison 5 ; MAISON 6 ; JARDIN 7 ; ") +
                           record(4, "\xC3\xA9t\xC3\xA9s 3 ; \xC3\x89T\xC3\x89S 3 ; ");
  EXPECT_EQ(createTableIndexTexte(base),
            "<mot> Maison </mot> <key_nb> 1 4 ; 3 5 ; 3 6  </key_nb> \n"
            "<mot> jardin </mot> <key_nb> 1 3 ; 3 7  </key_nb> \n"
            "<mot> arbre </mot> <key_nb> 2 3  </key_nb> \n"
            "<mot> \xC3\xA9t\xC3\xA9s </mot> <key_nb> 4 3  </key_nb> \n"
            "<mot> \xC3\x89T\xC3\x89S </mot> <key_nb> 4 3  </key_nb> \n");
}

TEST(TextInvertedIndex, DigitWordsGroupOnlyWithTheirOwnLines) {
  const std::string base = record(1, "2024 4 ; ") + record(2, "maison 2024 ; ") + record(3, "2024 3 ; ");
  EXPECT_EQ(createTableIndexTexte(base),
            "<mot> 2024 </mot> <key_nb> 1 4 ; 3 3  </key_nb> \n"
            "<mot> maison </mot> <key_nb> 2 2024  </key_nb> \n");
}

TEST(TextInvertedIndex, LargeGroupKeepsTableOrderAndInterleavedWords) {
  std::string base, expected_big = "<mot> commun </mot> <key_nb> ", expected_rest;
  for (int id = 1; id <= 1001; ++id) {
    const std::string own = "propre" + std::to_string(id);
    base += record(id, own + " 3 ; commun " + std::to_string(id % 7 + 3) + " ; ");
    if (id > 1) expected_big += " ; ";
    expected_big += std::to_string(id) + " " + std::to_string(id % 7 + 3);
    expected_rest += "<mot> " + own + " </mot> <key_nb> " + std::to_string(id) + " 3  </key_nb> \n";
  }
  expected_big += "  </key_nb> \n";
  // Order of first appearance: propre1, commun, propre2, propre3...
  const std::string index = createTableIndexTexte(base);
  const std::string first = "<mot> propre1 </mot> <key_nb> 1 3  </key_nb> \n";
  EXPECT_EQ(index, first + expected_big + expected_rest.substr(first.size()));
}

}  // namespace
}  // namespace text
