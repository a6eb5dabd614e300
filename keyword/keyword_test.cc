#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "keyword/editor.h"
#include "keyword/index_reader.h"
#include "keyword/keyword.h"
#include "keyword/list_reader.h"
#include "keyword/ordering.h"
#include "keyword/tostring.h"

namespace keyword {
namespace {

TEST(Tostring, WritesTheDecimalDigits) {
  EXPECT_EQ(tostring(40), "40");
  EXPECT_EQ(tostring(7), "7");
  EXPECT_EQ(tostring(1), "1");
  EXPECT_EQ(tostring(100), "100");
  EXPECT_EQ(tostring(INT_MAX), "2147483647");
}

struct Pairs {
  std::vector<int> counts, ids;
};

Pairs ordered(Pairs p) {
  tricroissant(p.counts.data(), p.ids.data(), static_cast<int>(p.counts.size()));
  return p;
}

TEST(Tricroissant, OrdersByAscendingCountWithTheExchangeTieOrder) {
  Pairs p = ordered({{1, 3, 2}, {7, 8, 9}});
  EXPECT_EQ(p.counts, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(p.ids, (std::vector<int>{7, 9, 8}));

  p = ordered({{2, 5, 3}, {4, 9, 1}});
  EXPECT_EQ(p.counts, (std::vector<int>{2, 3, 5}));
  EXPECT_EQ(p.ids, (std::vector<int>{4, 1, 9}));

  // Equal counts: no exchange, only the final rotation.
  p = ordered({{3, 3, 3}, {10, 11, 12}});
  EXPECT_EQ(p.ids, (std::vector<int>{11, 12, 10}));
  p = ordered({{3, 3}, {10, 11}});
  EXPECT_EQ(p.ids, (std::vector<int>{11, 10}));

  p = ordered({{2, 2, 1}, {10, 11, 12}});
  EXPECT_EQ(p.counts, (std::vector<int>{1, 2, 2}));
  EXPECT_EQ(p.ids, (std::vector<int>{12, 11, 10}));

  p = ordered({{1, 2, 2}, {10, 11, 12}});
  EXPECT_EQ(p.counts, (std::vector<int>{1, 2, 2}));
  EXPECT_EQ(p.ids, (std::vector<int>{10, 12, 11}));

  p = ordered({{}, {}});
  EXPECT_TRUE(p.ids.empty());
  p = ordered({{5}, {1}});
  EXPECT_EQ(p.ids, (std::vector<int>{1}));
}

// The run-based ordering must give the very permutation of the exchanges,
// ties included, whatever the mix of equal and distinct counts.
TEST(Tricroissant, RunBasedOrderingMatchesTheExchangesExactly) {
  std::mt19937 rng(12345);
  const std::vector<std::pair<int, int>> ranges = {
      {1, 1}, {1, 2}, {1, 3}, {1, 10}, {0, 1000000}, {INT_MIN, INT_MAX}};
  for (int n = 0; n <= 64; ++n) {
    for (const auto& [lo, hi] : ranges) {
      for (int round = 0; round < 20; ++round) {
        std::uniform_int_distribution<int> value(lo, hi);
        Pairs a;
        for (int i = 0; i < n; ++i) {
          a.counts.push_back(value(rng));
          a.ids.push_back(i + 1);
        }
        Pairs b = a;
        ordering::by_exchanges(a.counts.data(), a.ids.data(), n);
        ordering::by_runs(b.counts.data(), b.ids.data(), n);
        ASSERT_EQ(a.ids, b.ids) << "n=" << n << " range " << lo << ".." << hi;
        ASSERT_EQ(a.counts, b.counts);
      }
    }
  }
}

TEST(Tricroissant, LargeInputsTakeTheRunBasedPathWithTheSameResult) {
  std::mt19937 rng(7);
  for (int hi : {2, 5, 50}) {
    const int n = ordering::kExchangeLimit + 500;
    std::uniform_int_distribution<int> value(1, hi);
    Pairs a;
    for (int i = 0; i < n; ++i) {
      a.counts.push_back(value(rng));
      a.ids.push_back(i + 1);
    }
    Pairs expected = a;
    ordering::by_exchanges(expected.counts.data(), expected.ids.data(), n);
    const Pairs got = ordered(a);
    EXPECT_EQ(got.ids, expected.ids) << "counts 1.." << hi;
  }
}

TEST(IndexReader, FindsTheWordsRecordInIndexOrder) {
  const std::string index =
      "<mot> maison </mot> <key_nb> 2 5 ; 7 3  </key_nb> \n"
      "<mot> Jardin </mot> <key_nb> 4 2 ; 9 5 ; 1 3  </key_nb> \n";
  Lookup l = find_word(index, "Jardin");
  ASSERT_TRUE(l.found);
  ASSERT_EQ(l.hits.size(), 3u);
  EXPECT_EQ(l.hits[0].id, 4);
  EXPECT_EQ(l.hits[0].count, 2);
  EXPECT_EQ(l.hits[2].id, 1);
  EXPECT_EQ(l.hits[2].count, 3);

  EXPECT_FALSE(find_word(index, "jardin").found);  // the case counts
  EXPECT_FALSE(find_word(index, "5").found);       // only the token after <mot>
  EXPECT_FALSE(find_word(index, "").found);
  EXPECT_FALSE(find_word(index, "maison jardin").found);
  EXPECT_FALSE(find_word("", "maison").found);
}

TEST(IndexReader, ToleratesRecordsCutByTheEnd) {
  Lookup l = find_word("<mot> a </mot> <key_nb> 3 4 ; 5", "a");
  EXPECT_TRUE(l.found);
  ASSERT_EQ(l.hits.size(), 1u);  // the group without its count is dropped
  l = find_word("<mot> a </mot> <key_nb> 3 4", "a");
  ASSERT_EQ(l.hits.size(), 1u);
  l = find_word("<mot> a </mot>", "a");
  EXPECT_TRUE(l.found);
  EXPECT_TRUE(l.hits.empty());
  EXPECT_FALSE(find_word("<mot>", "a").found);
}

TEST(IndexReader, HasNoLimitOnDocumentsAndALaterRecordReplaces) {
  std::string index = "<mot> w </mot> <key_nb> ";
  for (int i = 1; i <= 5000; ++i) index += std::to_string(i) + " 1 " + (i < 5000 ? "; " : "");
  index += "</key_nb> \n";
  EXPECT_EQ(find_word(index, "w").hits.size(), 5000u);

  index += "<mot> w </mot> <key_nb> 8 9  </key_nb> \n";
  const Lookup l = find_word(index, "w");
  ASSERT_EQ(l.hits.size(), 1u);
  EXPECT_EQ(l.hits[0].id, 8);
}

TEST(ListReader, MapsIdentifiersToFileNames) {
  const std::string list =
      "<id> 1 </id> <filename> 3 </filename>\n"
      "<id> 2 </id> <filename> b.xml </filename>\n"
      "<id> 3 </id> <filename> c.xml </filename>\n"
      "<id> 2 </id> <filename> again.xml </filename>\n"
      "<id> 4 </id>";
  const TextList names = read_text_list(list);
  EXPECT_EQ(names.at("1"), "3");
  EXPECT_EQ(names.at("2"), "b.xml");  // the first registration wins
  EXPECT_EQ(names.at("3"), "c.xml");  // not the file named 3
  EXPECT_EQ(names.count("4"), 0u);    // cut short: no name
  EXPECT_TRUE(read_text_list("").empty());
}

// No child of ours may remain, running or zombie.
bool has_children() {
  int status;
  return !(::waitpid(-1, &status, WNOHANG) < 0 && errno == ECHILD);
}

TEST(Editor, StartsTheProgramDetachedWithOneVerbatimArgument) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("keyword_editor_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string target = (dir / "a;touch X$(id) `id`.xml").string();

  EXPECT_EQ(start_in_background("touch", target), 0);
  EXPECT_FALSE(has_children());
  for (int i = 0; i < 500 && !fs::exists(target); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(fs::exists(target));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  fs::remove_all(dir);
}

TEST(Editor, ReportsAProgramThatCannotBeStarted) {
  EXPECT_EQ(start_in_background("no-such-editor-for-keyword-tests", "x"), ENOENT);
  EXPECT_FALSE(has_children());
}

}  // namespace
}  // namespace keyword
