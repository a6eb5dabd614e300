#include "text/ranking/ranked_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "text/ranking/bm25.h"
#include "common/le_bytes.h"
#include "text/ranking/rank.h"
#include "text/ranking/ranked_file_writer.h"
#include "text/ranking/verdict.h"

namespace textrank {
namespace {

using namespace format;

// Three documents: "chat chat chien", "chien souris", "oiseau" (stems chat,
// chien, sour, oiseau), identifiers 1..3.
std::string small_file() {
  Describer d;
  static const Description docs[] = {d.describe("chat chat chien"), d.describe("chien souris"),
                                     d.describe("oiseau")};
  const IndexedDocument in[] = {{1, "a.xml", &docs[0]}, {2, "b.xml", &docs[1]}, {3, "c.xml", &docs[2]}};
  return build_ranked_file(in);
}

TEST(TextRankingBm25, FormulaOnItsOwn) {
  EXPECT_DOUBLE_EQ(idf(3, 1), std::log(8.0 / 3.0));
  EXPECT_DOUBLE_EQ(idf(3, 3), std::log(1.0 + 0.5 / 3.5));
  EXPECT_GT(idf(10, 10), 0.0);  // never negative
  // tf 2 in a document of 3 stems, average 2: 1.2 (0.25 + 0.75 * 1.5) = 1.65.
  EXPECT_DOUBLE_EQ(term_score(1.0, 2, 3, 2.0, 1.2, 0.75), 2 * 2.2 / (2 + 1.65));
  EXPECT_DOUBLE_EQ(term_score(1.0, 1, 2, 2.0, 1.2, 0.75), 1.0);
  EXPECT_DOUBLE_EQ(term_score(1.0, 1, 5, 0.0, 1.2, 0.0), 1.0);  // b = 0: no length effect
}

TEST(TextRankingBm25, WorkedExampleRankedByHand) {
  const std::string bytes = small_file();
  const RankedFile f = RankedFile::open(bytes);
  // N = 3, lengths 3, 2, 1, average 2.
  // "chat": n = 1, idf = ln(1 + 2.5 / 1.5) = ln(8/3); doc 1 has tf 2 and
  // length 3: 2 * 2.2 / (2 + 1.65).
  ranking::Ranking r = rank(f, "chat");
  ASSERT_EQ(r.results.size(), 1u);
  EXPECT_EQ(r.results[0].id, 1);
  EXPECT_EQ(r.results[0].name, "a.xml");
  EXPECT_NEAR(r.results[0].score, std::log(8.0 / 3.0) * 4.4 / 3.65, 1e-12);
  // "chien": n = 2, idf = ln(1.6); the shorter document 2 wins: tf 1 at the
  // average length scores idf exactly, doc 1 scores idf * 2.2 / 2.65.
  r = rank(f, "Chiens !");
  ASSERT_EQ(r.results.size(), 2u);
  EXPECT_EQ(r.results[0].id, 2);
  EXPECT_NEAR(r.results[0].score, std::log(1.6), 1e-12);
  EXPECT_EQ(r.results[1].id, 1);
  EXPECT_NEAR(r.results[1].score, std::log(1.6) * 2.2 / 2.65, 1e-12);
  // A query stem counts as often as it occurs; stop words and unknown
  // stems add nothing.
  r = rank(f, "le chat et le chat, zzz");
  ASSERT_EQ(r.results.size(), 1u);
  EXPECT_NEAR(r.results[0].score, 2 * std::log(8.0 / 3.0) * 4.4 / 3.65, 1e-12);
  EXPECT_TRUE(rank(f, "les du zzz").results.empty());
  EXPECT_TRUE(rank(f, "").results.empty());
}

TEST(TextRankingRankedFile, RoundTrip) {
  const std::string bytes = small_file();
  const RankedFile f = RankedFile::open(bytes);
  EXPECT_EQ(f.documents(), 3u);
  EXPECT_EQ(f.terms(), 4u);
  EXPECT_DOUBLE_EQ(f.k1(), kK1);
  EXPECT_DOUBLE_EQ(f.b(), kB);
  EXPECT_DOUBLE_EQ(f.threshold(), kSourceThreshold);
  EXPECT_EQ(f.min_source_words(), kMinSourceWords);
  EXPECT_DOUBLE_EQ(f.average_length(), 2.0);
  EXPECT_EQ(std::string_view(bytes.data() + kLanguageAt), "french");
  const RankedFile::Document d = f.document(1);
  EXPECT_EQ(d.id, 2);
  EXPECT_EQ(d.name, "b.xml");
  EXPECT_EQ(d.words, "chien souris");
  EXPECT_EQ(f.length(0), 3u);
  EXPECT_FALSE(f.find("chiens").has_value());
  const auto p = f.find("chien");
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(p->holders, 2u);
  RankedFile::PostingReader reader(f, *p);
  std::vector<std::pair<uint64_t, uint32_t>> got;
  uint64_t index;
  uint32_t count;
  while (reader.next(index, count)) got.push_back({index, count});
  EXPECT_EQ(got, (std::vector<std::pair<uint64_t, uint32_t>>{{0, 1}, {1, 1}}));
  // Same descriptions, same bytes; an empty corpus makes a valid file.
  EXPECT_EQ(small_file(), bytes);
  const std::string empty = build_ranked_file({});
  const RankedFile e = RankedFile::open(empty);
  EXPECT_EQ(e.documents(), 0u);
  EXPECT_TRUE(rank(e, "chat").results.empty());
}

TEST(TextRankingRankedFile, LargeCorpusPostingsExact) {
  // Enough documents for the build to work in two halves; every stem's
  // postings must still list exactly its documents and counts.
  const char* const fruits[] = {"pomme", "poire", "prune", "figue", "datte", "melon", "cerise"};
  const char* const colours[] = {"rouge", "vert", "bleu", "jaune", "violet", "orange", "blanc",
                                 "noir", "gris", "brun", "rose", "beige", "ocre"};
  constexpr size_t kDocs = 3001;
  Describer d;
  std::vector<Description> docs;
  std::vector<std::string> names;
  for (size_t i = 0; i < kDocs; ++i) {
    std::string text = std::string(fruits[i % 7]) + " " + colours[i % 13];
    if (i % 5 == 0) text += std::string(" ") + fruits[i % 7];
    docs.push_back(d.describe(text));
    names.push_back("d" + std::to_string(i));
  }
  std::vector<IndexedDocument> in;
  for (size_t i = 0; i < kDocs; ++i) in.push_back({static_cast<int64_t>(i + 1), names[i], &docs[i]});
  const std::string bytes = build_ranked_file(in);
  EXPECT_EQ(build_ranked_file(in), bytes);
  const RankedFile f = RankedFile::open(bytes);
  EXPECT_EQ(f.terms(), 20u);
  for (size_t w = 0; w < 20; ++w) {
    const std::string word = w < 7 ? fruits[w] : colours[w - 7];
    const Description probe = d.describe(word);
    const auto p = f.find(probe.stem(probe.terms[0]));
    ASSERT_TRUE(p.has_value()) << word;
    RankedFile::PostingReader reader(f, *p);
    uint64_t index;
    uint32_t count;
    size_t expected = 0;
    for (size_t i = 0; i < kDocs; ++i) {
      const bool holds = w < 7 ? i % 7 == w : i % 13 == w - 7;
      if (!holds) continue;
      ASSERT_TRUE(reader.next(index, count)) << word;
      EXPECT_EQ(index, i);
      EXPECT_EQ(count, w < 7 && i % 5 == 0 ? 2u : 1u);
      ++expected;
    }
    EXPECT_FALSE(reader.next(index, count));
    EXPECT_EQ(p->holders, expected);
  }
}

// Opens and ranks with every query stem; false when refused.
bool usable(std::string_view bytes) {
  try {
    const RankedFile f = RankedFile::open(bytes);
    rank(f, "chat chien souris oiseau");
    for (uint64_t i = 0; i < f.documents(); ++i) f.document(i);
    return true;
  } catch (const FileError&) {
    return false;
  }
}

TEST(TextRankingRankedFile, RefusesCorruptedBytes) {
  const std::string good = small_file();
  ASSERT_TRUE(usable(good));
  const auto with = [&](size_t at, uint64_t v, bool wide = true) {
    std::string b = good;
    if (wide) {
      le::put64(b.data() + at, v);
    } else {
      le::put32(b.data() + at, static_cast<uint32_t>(v));
    }
    return b;
  };
  EXPECT_FALSE(usable(""));
  EXPECT_FALSE(usable(good.substr(0, kHeaderSize - 1)));
  EXPECT_FALSE(usable(good.substr(0, good.size() - 1)));  // last section cut
  EXPECT_FALSE(usable("X" + good.substr(1)));
  EXPECT_FALSE(usable(with(kVersionAt, 1, false)));  // the format before digests
  EXPECT_FALSE(usable(with(kVersionAt, kVersion + 1, false)));
  EXPECT_FALSE(usable(with(kK1At, std::bit_cast<uint64_t>(std::nan("")))));
  EXPECT_FALSE(usable(with(kLanguageAt, 0x68736967'6e65)));  // "english"-like
  EXPECT_FALSE(usable(with(kDocumentsAt, 4)));
  EXPECT_FALSE(usable(with(kDocumentsAt, UINT64_MAX / 8)));
  EXPECT_FALSE(usable(with(kTermsAt, 1ull << 60)));
  EXPECT_FALSE(usable(with(kAverageLengthAt, std::bit_cast<uint64_t>(2.5))));
  EXPECT_FALSE(usable(with(kSectionsAt + 16 * kWords, UINT64_MAX)));
  EXPECT_FALSE(usable(with(kSectionsAt + 16 * kPostings + 8, 1ull << 40)));
  EXPECT_FALSE(usable(with(kSectionsAt, 8)));  // a section inside the header
  EXPECT_FALSE(usable(with(kSectionsAt + 16 * kDigests + 8, 3 * kDigestSize - 1)));
  // Entries pointing outside their sections.
  const uint64_t docs = le::get64(good.data() + kSectionsAt + 16 * kDocuments);
  const uint64_t terms = le::get64(good.data() + kSectionsAt + 16 * kTermTable);
  EXPECT_FALSE(usable(with(docs + 8, 1000)));          // name offset
  EXPECT_FALSE(usable(with(docs + 32, UINT64_MAX)));   // words size
  EXPECT_FALSE(usable(with(terms + 24, 1000)));        // postings size (first stem)
  EXPECT_FALSE(usable(with(terms + 12, 0, false)));    // holders
  EXPECT_FALSE(usable(with(terms + 12, 9, false)));
  // Postings: a document index out of the table, a truncated varint.
  const uint64_t postings = le::get64(good.data() + kSectionsAt + 16 * kPostings);
  std::string b = good;
  b[postings] = 7;
  EXPECT_FALSE(usable(b));
  b = good;
  b[postings] = static_cast<char>(0x80);
  b[postings + 1] = static_cast<char>(0x80);
  EXPECT_FALSE(usable(b));
}

TEST(TextRankingRankedFile, AnySingleByteChangeIsRefusedOrHarmless) {
  // Whatever byte changes, opening and ranking either work or refuse with
  // FileError (the sanitizers check that nothing is read out of bounds).
  const std::string good = small_file();
  for (size_t i = 0; i < good.size(); ++i) {
    for (const unsigned char v : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
      std::string b = good;
      b[i] = static_cast<char>(v);
      usable(b);
    }
  }
}

}  // namespace
}  // namespace textrank
