#include "sound/ranking/ranked_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>
#include <stdexcept>
#include <string>
#include <vector>

namespace sound_ranking {
namespace {

IndexedSound sound(int64_t id, std::string name, uint64_t samples, std::vector<Landmark> landmarks = {},
                   std::vector<uint8_t> envelope = {}) {
  return {id, std::move(name), samples, std::move(landmarks), std::move(envelope)};
}

std::vector<IndexedSound> sample_sounds() {
  std::mt19937 g(5);
  std::vector<IndexedSound> sounds = {sound(0, "a.bin", 16000), sound(2, "bb.bin", 160000), sound(3, "", 0)};
  for (size_t i = 0; i < envelope_blocks(frame_count(16000)) * kEnvelopeBlockBytes; ++i)
    sounds[0].envelope.push_back(static_cast<uint8_t>(g()));
  for (int i = 0; i < 3000; ++i) {
    IndexedSound& s = sounds[g() % 2];
    s.landmarks.push_back({static_cast<uint32_t>(g() % 5000),
                           static_cast<uint32_t>(g() % frame_count(s.samples))});
  }
  sounds[0].landmarks.push_back(sounds[0].landmarks[0]);  // a duplicate
  return sounds;
}

std::vector<std::pair<uint32_t, uint32_t>> postings_of(const RankedFile& f, uint32_t hash) {
  std::vector<Posting> ps;
  f.lookup(hash, ps);
  std::vector<std::pair<uint32_t, uint32_t>> out;
  for (const Posting& p : ps) out.emplace_back(p.sound, p.frame);
  std::sort(out.begin(), out.end());
  return out;
}

TEST(RankedFileTest, RoundTrip) {
  const std::vector<IndexedSound> sounds = sample_sounds();
  const std::string bytes = build_ranked_file(sounds);
  std::string why;
  const std::optional<RankedFile> f = RankedFile::parse(bytes, why);
  ASSERT_TRUE(f) << why;
  ASSERT_EQ(f->sound_count(), 3u);
  EXPECT_EQ(f->sound(1).id, 2);
  EXPECT_EQ(f->sound(1).name, "bb.bin");
  EXPECT_EQ(f->sound(1).samples, 160000u);
  EXPECT_EQ(f->sound(1).frames, frame_count(160000));
  EXPECT_EQ(f->sound(2).name, "");
  EXPECT_EQ(f->sound(2).frames, 0u);
  // Envelopes as given, or silence when none was.
  EXPECT_TRUE(std::ranges::equal(f->sound(0).envelope, sounds[0].envelope));
  EXPECT_EQ(f->sound(1).envelope.size(), envelope_blocks(frame_count(160000)) * kEnvelopeBlockBytes);
  EXPECT_TRUE(std::ranges::all_of(f->sound(1).envelope, [](uint8_t b) { return b == 0; }));
  EXPECT_TRUE(f->sound(2).envelope.empty());
  std::set<std::tuple<uint32_t, uint32_t, uint32_t>> distinct;
  for (uint32_t s = 0; s < sounds.size(); ++s)
    for (const Landmark& l : sounds[s].landmarks) distinct.insert({l.hash, s, l.frame});
  EXPECT_EQ(f->record_count(), distinct.size());  // duplicates are stored once
  for (uint32_t h = 0; h < 5000; ++h) {
    std::vector<std::pair<uint32_t, uint32_t>> want;
    for (uint32_t s = 0; s < sounds.size(); ++s)
      for (const Landmark& l : sounds[s].landmarks)
        if (l.hash == h) want.emplace_back(s, l.frame);
    std::sort(want.begin(), want.end());
    want.erase(std::unique(want.begin(), want.end()), want.end());
    ASSERT_EQ(postings_of(*f, h), want) << h;
  }
  EXPECT_TRUE(postings_of(*f, 1u << kHashBits).empty());
  EXPECT_TRUE(postings_of(*f, (1u << kHashBits) - 1).empty());
  // Many hashes at once (some twice, some past the hash bits): each one's
  // postings as alone, within its bucket's size.
  std::vector<uint32_t> hashes;
  for (int i = 0; i < 3000; ++i) hashes.push_back(static_cast<uint32_t>((i * 7919) % 5100));
  hashes.push_back(1u << kHashBits);
  hashes.push_back(hashes[0]);
  std::vector<Posting> all = {{9, 9}};  // appended to
  std::vector<size_t> ends;
  f->lookup(hashes, all, ends);
  ASSERT_EQ(ends.size(), hashes.size());
  size_t at = 1;
  for (size_t i = 0; i < hashes.size(); ++i) {
    std::vector<Posting> one;
    f->lookup(hashes[i], one);
    ASSERT_EQ(ends[i], at + one.size());
    EXPECT_LE(one.size(), f->bucket_size(hashes[i]));
    for (const Posting& p : one) {
      EXPECT_EQ(all[at].sound, p.sound);
      EXPECT_EQ(all[at++].frame, p.frame);
    }
  }
  EXPECT_EQ(f->bucket_size(1u << kHashBits), 0u);
}

TEST(RankedFileTest, EmptyStore) {
  const std::string bytes = build_ranked_file({});
  std::string why;
  const std::optional<RankedFile> f = RankedFile::parse(bytes, why);
  ASSERT_TRUE(f) << why;
  EXPECT_EQ(f->sound_count(), 0u);
  EXPECT_TRUE(postings_of(*f, 7).empty());
}

TEST(RankedFileTest, BuildRefusesInconsistentSounds) {
  std::vector<IndexedSound> s = {sound(0, "a", 1000, {{1, 100}})};  // 1000 samples: 5 frames
  EXPECT_THROW(build_ranked_file(s), std::invalid_argument);
  s = {sound(1, "a", 1000), sound(1, "b", 1000)};
  EXPECT_THROW(build_ranked_file(s), std::invalid_argument);
  s = {sound(-1, "a", 1000)};
  EXPECT_THROW(build_ranked_file(s), std::invalid_argument);
  s = {sound(0, "a", 1000, {{1u << kHashBits, 0}})};
  EXPECT_THROW(build_ranked_file(s), std::invalid_argument);
  // The envelope of 5 frames, or none.
  const size_t length = envelope_blocks(5) * kEnvelopeBlockBytes;
  s = {sound(0, "a", 1000, {}, std::vector<uint8_t>(length + 1))};
  EXPECT_THROW(build_ranked_file(s), std::invalid_argument);
  s = {sound(0, "a", 1000, {}, std::vector<uint8_t>(length - 1))};
  EXPECT_THROW(build_ranked_file(s), std::invalid_argument);
  s = {sound(0, "a", 1000, {}, std::vector<uint8_t>(length, 7))};
  EXPECT_NO_THROW(build_ranked_file(s));
}

TEST(RankedFileTest, RefusesEveryTruncationAndExtraBytes) {
  const std::string bytes = build_ranked_file(sample_sounds());
  std::string why;
  for (size_t n = 0; n < bytes.size(); n += (n < 300 ? 1 : 97)) {
    EXPECT_FALSE(RankedFile::parse(std::string_view(bytes).substr(0, n), why)) << n;
    EXPECT_FALSE(why.empty());
  }
  EXPECT_FALSE(RankedFile::parse(bytes + '\0', why));
  EXPECT_EQ(why, "bytes after the records");
}

TEST(RankedFileTest, RefusesCorruptedHeaderTableAndDirectory) {
  const std::string good = build_ranked_file(sample_sounds());
  auto refused = [&](size_t at, char value, const std::string& reason) {
    std::string bad = good;
    bad[at] = value;
    std::string why;
    EXPECT_FALSE(RankedFile::parse(bad, why)) << at;
    EXPECT_EQ(why, reason) << at;
  };
  refused(0, 'X', "not a sound ranked file");
  refused(8, 1, "unknown format version");  // the format before envelopes
  refused(12, 3, "built with other parameters");
  refused(16, 1, "built with other parameters");  // fft_size
  const size_t after_params = 16 + 17 * 4;
  refused(after_params + 3, 1, "sound table past the end");  // sound count
  refused(after_params + 4, 25, "bad bucket count");                        // bucket bits
  refused(after_params + 8, 0, "bad record fields");                        // sound bits
  refused(after_params + 16, 9, "bad record width");                        // record bytes
  refused(after_params + 20 + 7, 1, "records past the end");               // record count
  refused(after_params + 28 + 7, 1, "names past the end");  // name bytes
  const size_t table = after_params + 36;
  refused(table + 32, 0, "sound ids out of order");                         // id 2 -> 0
  refused(table + 32 + 8, 1, "sound frames disagree with its length");      // samples
  refused(table + 32 + 28, 1, "bad sound entry");                           // reserved
  refused(table + 32 + 20, 50, "sound name past the names");                // name offset
  const size_t envelopes =
      (envelope_blocks(frame_count(16000)) + envelope_blocks(frame_count(160000))) * kEnvelopeBlockBytes;
  const size_t dir = table + 3 * 32 + 11 + envelopes;
  refused(dir, 1, "bucket directory out of order");
  refused(dir + 7, 0x7f, "bucket directory out of order");
}

TEST(RankedFileTest, RecordsNamingNoSoundAreSkipped) {
  std::vector<IndexedSound> sounds = {sound(0, "a", 1000, {{9, 3}})};  // 5 frames
  std::string bytes = build_ranked_file(sounds);
  std::string why;
  ASSERT_TRUE(RankedFile::parse(bytes, why));
  // One record at the end; its lowest byte holds the frame (3 bits).
  bytes.back() = static_cast<char>((bytes.back() & ~7) | 6);  // frame 6 >= 5 frames
  const std::optional<RankedFile> f = RankedFile::parse(bytes, why);
  ASSERT_TRUE(f) << why;
  EXPECT_TRUE(postings_of(*f, 9).empty());
}

}  // namespace
}  // namespace sound_ranking
