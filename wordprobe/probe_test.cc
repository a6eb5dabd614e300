#include <string>

#include <gtest/gtest.h>

#include "wordprobe/probe.h"

namespace wordprobe {
namespace {

std::string record(int id, const std::string& words) {
  return "<debut> <id> " + std::to_string(id) + " </id> <mots> " + words + "  </mots> </fin>\n";
}

TEST(Probe, EmptyBase) {
  const ProbeRun r = probe("");
  EXPECT_EQ(r.out, "0 \nmot not found \n");
  EXPECT_EQ(r.scratch, "0\n");
}

TEST(Probe, MatchOnTheFifthLinePrintsItsIndexAndTheFollowingToken) {
  std::string base;
  for (int id = 1; id <= 4; ++id) base += record(id, "maison 4 ;");
  base += record(5, "euros 7 ; milliards 3 ;");
  base += record(6, "jardin 3 ;");
  const ProbeRun r = probe(base);
  EXPECT_EQ(r.out, "6 \n************ \nl'id est : 4\n 3 \n");
  EXPECT_EQ(r.scratch, record(6, "jardin 3 ;"));
}

TEST(Probe, OnlyWholeBlankSeparatedTokensMatch) {
  const ProbeRun r = probe(record(1, "milliards, 3 ; Milliards 4 ; milliardss 2 ;") +
                           "milliards\t5\n" + "x milliards\n");
  EXPECT_EQ(r.out, "3 \nmot not found \n");
}

TEST(Probe, EveryMatchingLineIsReportedInOrder) {
  const ProbeRun r =
      probe(record(1, "milliards 3 ;") + record(2, "rien 3 ;") + record(3, "milliards 12 ;"));
  EXPECT_EQ(r.out,
            "3 \n"
            "************ \nl'id est : 0\n 3 \n"
            "************ \nl'id est : 2\n 12 \n");
}

TEST(Probe, ConsecutiveWordsArePrintedAndCountedAgain) {
  const ProbeRun r = probe("a milliards milliards 8\n");
  EXPECT_EQ(r.out,
            "1 \n"
            "************ \nl'id est : 0\n milliards \n"
            "************ \nl'id est : 0\n 8\n \n");
}

TEST(Probe, MatchAtTheEndOfALinePrintsTheLineFeedToken) {
  // The line feed stays on the last token, so only a blank before it lets
  // the word stand alone, and the line feed is then the following token.
  const ProbeRun r = probe("x milliards \nsuite 1\n");
  EXPECT_EQ(r.out, "2 \n************ \nl'id est : 0\n \n \n");
}

TEST(Probe, LongLinesAreExaminedWhole) {
  // The word ends at byte 999 of a longer line: the token after it is still
  // the one of its own line, not the first one of the next line.
  std::string line(989, 'a');
  line += " milliards 42\n";
  ASSERT_EQ(line.find(" 42"), 999u);
  const ProbeRun r = probe(line + "suivant 1\n");
  EXPECT_EQ(r.out, "2 \n************ \nl'id est : 0\n 42\n \n");
}

TEST(Probe, ALastLineWithoutLineFeedIsALine) {
  const ProbeRun r = probe("a 1\nmilliards 9");
  EXPECT_EQ(r.out, "2 \n************ \nl'id est : 1\n 9 \n");
  EXPECT_EQ(r.scratch, "milliards 9");
}

}  // namespace
}  // namespace wordprobe
