// The ranked file of the sound side: every indexed sound's landmarks, sorted
// by hash and grouped in buckets so that a query reads only the buckets of
// its own hashes.
//
// Layout, little-endian:
//   "SONCLASS", u32 version, u32 parameter count, that many i32 parameters
//   (Params in declaration order, then kHashBits),
//   u32 sounds, u32 bucket bits B, u32 sound bits, u32 frame bits,
//   u32 record bytes W, u64 records, u64 name bytes,
//   per sound: u64 id, u64 samples, u32 frames, u32 name offset, u32 name
//   length, u32 zero;
//   the names, back to back;
//   the band envelopes, back to back: envelope_blocks(frames) blocks of
//   kEnvelopeBlockBytes bytes per sound (see envelope.h);
//   2^B + 1 u32: bucket b holds records [dir[b], dir[b + 1]);
//   the records, each a W-byte integer: the key's low kHashBits - B bits, then the
//   sound's index in the table, then the anchor frame (high to low bits).
// A record's key is a fixed bijective mix of its landmark hash; records are
// sorted by key, and bucket b holds the keys whose high B bits are b.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sound/ranking/envelope.h"
#include "sound/ranking/landmarks.h"
#include "sound/ranking/params.h"

namespace sound_ranking {

inline constexpr uint32_t kFormatVersion = 2;

struct IndexedSound {
  int64_t id = 0;        // the legacy identifier
  std::string name;      // bare file name
  uint64_t samples = 0;  // duration
  std::vector<Landmark> landmarks;
  std::vector<uint8_t> envelope;  // empty: stored as silence
};

// Throws std::invalid_argument when a landmark's frame lies past its sound's
// last frame, an envelope is neither empty nor of its sound's length, an id
// is negative or ids do not increase.
std::string build_ranked_file(std::span<const IndexedSound> sounds);

struct SoundEntry {
  int64_t id = 0;
  std::string_view name;
  uint64_t samples = 0;
  uint32_t frames = 0;
  std::span<const uint8_t> envelope;  // envelope_blocks(frames) blocks
};

struct Posting {
  uint32_t sound = 0;  // index in the sound table
  uint32_t frame = 0;
};

// A view over the whole file's bytes, which must outlive it.
class RankedFile {
 public:
  // Checks the header, the sound table, the names and the bucket directory
  // against each other and the buffer size. On inconsistent bytes: nullopt,
  // and a short reason in `reason`.
  static std::optional<RankedFile> parse(std::string_view bytes, std::string& reason);

  const Params& params() const { return params_; }
  size_t sound_count() const { return sounds_.size(); }
  const SoundEntry& sound(size_t i) const { return sounds_[i]; }
  uint64_t record_count() const { return records_; }

  // Appends the postings of `hash`. A record naming no sound of the table or
  // a frame past its sound's end cannot be trusted and is skipped.
  void lookup(uint32_t hash, std::vector<Posting>& out) const;
  // lookup() of each hash in turn, the postings of hashes[i] ending at
  // ends[i] in `out`: the same postings, sooner than one call per hash.
  void lookup(std::span<const uint32_t> hashes, std::vector<Posting>& out, std::vector<size_t>& ends) const;
  // The records of the bucket of `hash`: no fewer than its postings.
  size_t bucket_size(uint32_t hash) const;

 private:
  RankedFile() = default;
  // Where `hash` is kept: its bucket, and the low bits of its key that a
  // record of the bucket holds. Nothing for a hash out of range.
  struct Place {
    size_t bucket;
    uint64_t low;
  };
  std::optional<Place> place_of(uint32_t hash) const;
  // Records [first, last) of bucket b.
  std::pair<uint64_t, uint64_t> records_of(size_t b) const;

  Params params_;
  std::vector<SoundEntry> sounds_;
  std::string_view directory_;
  std::string_view records_bytes_;
  uint64_t records_ = 0;
  uint32_t bucket_bits_ = 0, sound_bits_ = 0, frame_bits_ = 0, record_bytes_ = 0;
};

}  // namespace sound_ranking
