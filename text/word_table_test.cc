#include "text/word_table.h"

#include <gtest/gtest.h>

#include <string>

namespace text {
namespace {

TEST(TextWordTable, NumbersWordsInOrderOfFirstAppearance) {
  const std::string words[] = {"maison", "jardin", "maison", "m", "ma", "mai", "maiso", "jardin",
                               "maisonnettes", "maisonnetteS", "m"};
  WordTable<false> table(2);  // forces several growths
  std::vector<uint32_t> ids;
  for (const auto& w : words) ids.push_back(table.intern(w));
  EXPECT_EQ(ids, (std::vector<uint32_t>{0, 1, 0, 2, 3, 4, 5, 1, 6, 7, 2}));
  EXPECT_EQ(table.size(), 8u);
  EXPECT_EQ(table.word(6), "maisonnettes");
}

TEST(TextWordTable, FoldingJoinsOnlyAsciiCaseAtEveryLength) {
  for (size_t n = 1; n <= 24; ++n) {
    std::string lower, upper;
    for (size_t i = 0; i < n; ++i) {
      lower += static_cast<char>('a' + i % 26);
      upper += static_cast<char>('A' + i % 26);
    }
    WordTable<true> folded;
    EXPECT_EQ(folded.intern(upper), 0u);
    EXPECT_EQ(folded.intern(lower), 0u) << n;
    EXPECT_EQ(folded.word(0), upper);
    EXPECT_EQ(WordTable<true>::hash_of(upper), WordTable<true>::hash_of(lower)) << n;
    WordTable<false> exact;
    exact.intern(upper);
    EXPECT_EQ(exact.intern(lower), 1u) << n;
  }
  WordTable<true> folded;
  // Accented capitals are not letters of ASCII; "@" and "[" lie around 'A'..'Z'.
  EXPECT_EQ(folded.intern("\xC3\x89t\xC3\xA9"), 0u);
  EXPECT_EQ(folded.intern("\xC3\xA9t\xC3\xA9"), 1u);
  EXPECT_EQ(folded.intern("a@[z"), 2u);
  EXPECT_EQ(folded.intern("A@[Z"), 2u);
  EXPECT_EQ(folded.intern("A`{Z"), 3u);
}

}  // namespace
}  // namespace text
