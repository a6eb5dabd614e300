// wordprobe on a temporary store. The program built for these tests reads the
// store under the directory it is started from (the real one reads the probe
// root fixed at build time), so each test runs it from its own store root.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/e2e/child.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/text_fixtures.h"

#ifndef WORDPROBE_E2E_PROBE
#error "WORDPROBE_E2E_PROBE must name the wordprobe built for the end-to-end tests"
#endif

using e2e::Result;
using e2e::Store;

namespace {

const std::string kBase = std::string(e2e::kTextBase) + "base_descripteur_texte.txt";
const std::string kScratch = std::string(e2e::kTextBase) + "temp.txt";

using e2e::textRecord;

Result probe(const Store& s) {
  e2e::RunOptions o;
  o.cwd = ".";
  return s.run(WORDPROBE_E2E_PROBE, {"ignored", "words"}, o);
}

TEST(Wordprobe, MissingBaseSaysNothing) {
  Store s;
  const Result r = probe(s);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(s.exists(kScratch));
}

TEST(Wordprobe, EmptyBaseAndBaseWithoutTheWord) {
  Store s;
  s.write(kBase, "");
  Result r = probe(s);
  EXPECT_EQ(r.out, "0 \nmot not found \n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(s.read(kScratch), "0\n");

  // Glued to punctuation, capitalised, or carrying the line feed: no match.
  const std::string last = "milliards\n";
  s.write(kBase, textRecord(1, "milliards, 3 ; Milliards 2 ;") + textRecord(2, "(milliards) 4 ;") + last);
  r = probe(s);
  EXPECT_EQ(r.out, "3 \nmot not found \n");
  EXPECT_EQ(s.read(kScratch), last);
}

TEST(Wordprobe, ReportsEachMatchingLineWithTheTokenAfterTheWord) {
  Store s;
  std::string base;
  for (int id = 1; id <= 4; ++id) base += textRecord(id, "maison 4 ;");
  base += textRecord(5, "milliards 3 ; euros 5 ;");
  s.write(kBase, base);
  Result r = probe(s);
  EXPECT_EQ(r.out, "5 \n************ \nl'id est : 4\n 3 \n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(s.read(kScratch), textRecord(5, "milliards 3 ; euros 5 ;"));

  base = textRecord(1, "milliards 7 ;") + textRecord(2, "rien 1 ;") +
         textRecord(3, "dette 2 ; milliards milliards 9 ;") + "fin milliards \n";
  s.write(kBase, base);
  r = probe(s);
  EXPECT_EQ(r.out,
            "4 \n"
            "************ \nl'id est : 0\n 7 \n"
            "************ \nl'id est : 2\n milliards \n"
            "************ \nl'id est : 2\n 9 \n"
            "************ \nl'id est : 3\n \n \n");  // at the end of a line: the line feed
  EXPECT_EQ(s.read(kScratch), "fin milliards \n");
}

TEST(Wordprobe, LongLinesAreExaminedWhole) {
  Store s;
  std::string line = "<debut> <id> 1 </id> <mots> ";
  for (int i = 0; line.size() < 3000; ++i) line += "mot" + std::to_string(i) + " 1 ; ";
  line += "milliards 6 ;  </mots> </fin>\n";
  s.write(kBase, line + textRecord(2, "suite 1 ;"));
  const Result r = probe(s);
  EXPECT_EQ(r.out, "2 \n************ \nl'id est : 0\n 6 \n");
}

TEST(Wordprobe, ALastLineWithoutLineFeedIsProbedToo) {
  Store s;
  s.write(kBase, textRecord(1, "rien 1 ;") + "<debut> <id> 2 </id> <mots> milliards 4 ;");
  const Result r = probe(s);
  EXPECT_EQ(r.out, "2 \n************ \nl'id est : 1\n 4 \n");
  EXPECT_EQ(s.read(kScratch), "<debut> <id> 2 </id> <mots> milliards 4 ;");
}

TEST(Wordprobe, AScratchFileThatCannotBeWrittenIsReported) {
  Store s;
  s.write(kBase, textRecord(1, "milliards 2 ;"));
  std::filesystem::create_directories(s.path(kScratch));
  const Result r = probe(s);
  EXPECT_EQ(r.out, "1 \n************ \nl'id est : 0\n 2 \n");
  EXPECT_EQ(r.err.rfind("wordprobe: ", 0), 0u) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
  EXPECT_EQ(r.status, 0);
}

TEST(Wordprobe, AScratchFileLinkedOutsideIsReplacedAndTheOutsideFileKept) {
  Store s;
  s.write(kBase, textRecord(1, "milliards 2 ;"));
  s.write("outside.txt", "dehors");
  std::filesystem::create_symlink(s.path("outside.txt"), s.path(kScratch));
  const Result r = probe(s);
  EXPECT_EQ(r.out, "1 \n************ \nl'id est : 0\n 2 \n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(s.read("outside.txt"), "dehors");
  EXPECT_FALSE(std::filesystem::is_symlink(s.path(kScratch)));
  EXPECT_EQ(s.read(kScratch), textRecord(1, "milliards 2 ;"));
}

// AddressSanitizer stops at a failed allocation instead of throwing.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitizedNew = true;
#else
constexpr bool kSanitizedNew = false;
#endif

TEST(Wordprobe, MemoryRunningOutIsOneLineAndStatusOne) {
  if (kSanitizedNew) GTEST_SKIP() << "AddressSanitizer stops at a failed allocation";
  if (std::getenv("E2E_WRAPPER") != nullptr)
    GTEST_SKIP() << "a wrapper's allocator (valgrind's) may stop instead of throwing";
  Store s;
  // A base of 64 MB for a process allowed 40 MB of address space in all.
  {
    const std::string line = textRecord(1, "milliards 3 ;");
    std::string block;
    while (block.size() < (1u << 20)) block += line;
    std::ofstream f(s.path(kBase), std::ios::binary);
    for (int i = 0; i < 64; ++i) f << block;
  }
  e2e::ChildOptions o;
  o.cwd = s.root();
  o.address_space = 40u << 20;
  e2e::Child child({WORDPROBE_E2E_PROBE}, o);
  const Result r = child.wait(60);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "wordprobe: mémoire insuffisante : sondage abandonné\n");
}

}  // namespace
