#include "keyword/index_reader.h"

#include <string>

#include <gtest/gtest.h>

namespace keyword {
namespace {

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

}  // namespace
}  // namespace keyword
