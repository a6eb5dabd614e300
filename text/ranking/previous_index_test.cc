#include "text/ranking/previous_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "common/le_bytes.h"
#include "text/ranking/ranked_file_format.h"
#include "text/ranking/ranked_file_writer.h"

namespace textrank {
namespace {

using namespace format;

const char* const kTexts[] = {
    "<p>Le chat dort, le chien aboie ; les chats dorment.</p>",
    "",  // a document without words
    "Les jardins d'été fleurissent près de la rivière où l'enfant joue.",
    "chien chien chien souris &eacute;t&eacute; <b>été</b>",
};
const char* const kNames[] = {"a.xml", "vide.xml", "b.xml", "c.xml"};

struct Built {
  std::vector<Description> described;
  std::vector<IndexedDocument> indexed;
  std::string bytes;
};

Built build() {
  Built b;
  Describer describer;
  for (const char* t : kTexts) b.described.push_back(describer.describe(t));
  for (size_t i = 0; i < b.described.size(); ++i)
    b.indexed.push_back({static_cast<int64_t>(i + 1), kNames[i], &b.described[i], digest_of(kTexts[i])});
  b.bytes = build_ranked_file(b.indexed);
  return b;
}

std::vector<std::tuple<std::string, uint32_t, uint64_t>> terms_of(const Description& d) {
  std::vector<std::tuple<std::string, uint32_t, uint64_t>> out;
  for (const Term& t : d.terms) out.emplace_back(d.stem(t), t.count, t.hash);
  std::sort(out.begin(), out.end());
  return out;
}

// Descriptions taken back from an index are the describer's, but for the
// order of their terms, and a file built from them (words straight from
// the index) has the same bytes, in any order of documents.
TEST(TextRankingPreviousIndex, GivesBackTheDescriptionsItWasBuiltFrom) {
  const Built b = build();
  PreviousIndex previous = PreviousIndex::open(b.bytes);
  ASSERT_EQ(previous.documents(), b.described.size());
  Description before;
  EXPECT_THROW(previous.describe(0, before), FileError);
  previous.invert();

  std::vector<Description> taken(b.described.size());
  std::vector<IndexedDocument> again;
  for (size_t i = b.described.size(); i-- > 0;) {
    const std::optional<uint64_t> k = previous.find(kNames[i], digest_of(kTexts[i]));
    ASSERT_EQ(k, i);
    previous.describe(*k, taken[i]);
    EXPECT_EQ(terms_of(taken[i]), terms_of(b.described[i])) << kNames[i];
    EXPECT_EQ(taken[i].length, b.described[i].length);
    EXPECT_EQ(taken[i].words, "");
    EXPECT_EQ(previous.words(*k), b.described[i].words);
    again.insert(again.begin(), {static_cast<int64_t>(i + 1), kNames[i], &taken[i], digest_of(kTexts[i]),
                                 previous.words(*k)});
  }
  EXPECT_TRUE(build_ranked_file(again) == b.bytes);
  previous.forget_inversion();
  EXPECT_THROW(previous.describe(0, before), FileError);

  // Known by its name and its bytes together.
  EXPECT_FALSE(previous.find("a.xml", digest_of(kTexts[2])));
  EXPECT_FALSE(previous.find("d.xml", digest_of(kTexts[0])));
  EXPECT_FALSE(previous.find("a.xm", digest_of(kTexts[0])));

  PreviousIndex empty = PreviousIndex::open(build_ranked_file({}));
  EXPECT_EQ(empty.documents(), 0u);
  empty.invert();
  EXPECT_FALSE(empty.find("a.xml", {}));
}

// Nothing is taken from a file written otherwise, or changed anywhere
// after its header, even when a query could still read it.
TEST(TextRankingPreviousIndex, RefusesOtherSettingsAndAnyChangedByte) {
  const std::string good = build().bytes;
  const auto opens = [](const std::string& bytes) {
    try {
      PreviousIndex::open(bytes);
      return true;
    } catch (const FileError&) {
      return false;
    }
  };
  ASSERT_TRUE(opens(good));
  const auto with = [&](size_t at, uint64_t v) {
    std::string b = good;
    le::put64(b.data() + at, v);
    return b;
  };
  EXPECT_FALSE(opens(with(kK1At, std::bit_cast<uint64_t>(1.5))));
  EXPECT_FALSE(opens(with(kBAt, std::bit_cast<uint64_t>(0.5))));
  EXPECT_FALSE(opens(with(kThresholdAt, std::bit_cast<uint64_t>(0.9))));
  EXPECT_FALSE(opens(with(kMinWordsAt, 7 | uint64_t{kFlags} << 32)));
  EXPECT_FALSE(opens(with(kMinWordsAt, 6 | uint64_t{kFlagStopWordsDropped} << 32)));
  std::string b = good;
  b[kVersionAt] = 1;
  EXPECT_FALSE(opens(b));
  for (size_t i = kHeaderSize; i < good.size(); ++i) {
    b = good;
    b[i] ^= 0x10;
    EXPECT_FALSE(opens(b)) << "byte " << i;
  }
}

}  // namespace
}  // namespace textrank
