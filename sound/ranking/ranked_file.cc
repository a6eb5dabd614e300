#include "sound/ranking/ranked_file.h"

#include <algorithm>
#include <bit>
#include <stdexcept>
#include <tuple>

#include "common/le_bytes.h"
#include "sound/ranking/spectrum.h"

namespace sound_ranking {

namespace {

constexpr char kMagic[8] = {'S', 'O', 'N', 'C', 'L', 'A', 'S', 'S'};
constexpr uint32_t kMaxBucketBits = 24;  // a directory of at most 64 MiB
constexpr size_t kSoundEntryBytes = 32;
constexpr uint32_t kMaxSoundBits = 24;

std::vector<int32_t> param_list(const Params& p) {
  return {p.fft_size,      p.hop,         p.bin_lo,       p.bin_hi,         p.peak_radius_t,
          p.peak_radius_f, p.floor_db,    p.block_frames, p.peaks_per_block, p.target_dt,
          p.target_df,     p.targets,     p.band_steps,   p.ratio_steps,    p.gap_ratio_steps,
          p.gap_steps,     kHashBits};
}

// A bijection of kHashBits-bit values whose high bits depend on every bit:
// landmark hashes crowd in a few ranges of their fields (ratios near 1,
// harmonic ratios), and buckets keyed by raw high bits would fill unevenly.
uint32_t mix(uint32_t h) {
  constexpr uint32_t kMask = (uint32_t{1} << kHashBits) - 1;
  h = (h * 0x2545F491u) & kMask;  // odd multiplier: invertible modulo 2^k
  return h ^ (h >> 13);
}

uint32_t bits_for(uint64_t count) {  // bits to tell count values apart
  return count <= 1 ? 1 : static_cast<uint32_t>(std::bit_width(count - 1));
}

// Sequential reader that refuses to pass the end of the buffer.
class Cursor {
 public:
  explicit Cursor(std::string_view b) : b_(b) {}
  bool read(uint64_t& v, int bytes) {
    if (b_.size() - at_ < static_cast<size_t>(bytes)) return false;
    v = le::get(b_.data() + at_, static_cast<size_t>(bytes));
    at_ += static_cast<size_t>(bytes);
    return true;
  }
  bool take(uint64_t n, std::string_view& out) {
    if (n > b_.size() - at_) return false;
    out = b_.substr(at_, static_cast<size_t>(n));
    at_ += static_cast<size_t>(n);
    return true;
  }
  size_t left() const { return b_.size() - at_; }

 private:
  std::string_view b_;
  size_t at_ = 0;
};

}  // namespace

std::string build_ranked_file(std::span<const IndexedSound> sounds) {
  const Params& p = kParams;
  struct Rec {
    uint32_t hash, sound, frame;
    auto operator<=>(const Rec&) const = default;
  };
  std::vector<Rec> recs;
  uint64_t max_frames = 1;
  size_t name_bytes = 0;
  for (size_t s = 0; s < sounds.size(); ++s) {
    const IndexedSound& snd = sounds[s];
    if (snd.id < 0 || (s > 0 && snd.id <= sounds[s - 1].id))
      throw std::invalid_argument("sound ids must increase from 0 or more");
    const uint64_t frames = frame_count(snd.samples, p);
    if (frames > UINT32_MAX) throw std::invalid_argument("sound too long");
    max_frames = std::max(max_frames, frames);
    name_bytes += snd.name.size();
    if (!snd.envelope.empty() && snd.envelope.size() != envelope_blocks(frames) * kEnvelopeBlockBytes)
      throw std::invalid_argument("envelope of the wrong length");
    for (const Landmark& l : snd.landmarks) {
      if (l.frame >= frames) throw std::invalid_argument("landmark past its sound's end");
      if (l.hash >> kHashBits) throw std::invalid_argument("landmark hash too wide");
      recs.push_back({mix(l.hash), static_cast<uint32_t>(s), l.frame});
    }
  }
  if (sounds.size() > UINT32_MAX || name_bytes > UINT32_MAX || recs.size() > UINT32_MAX)
    throw std::invalid_argument("too many sounds or landmarks");
  std::sort(recs.begin(), recs.end());
  recs.erase(std::unique(recs.begin(), recs.end()), recs.end());

  // About sixteen records per bucket: a directory of a quarter byte per
  // record.
  uint32_t bucket_bits = 0;
  while (bucket_bits < static_cast<uint32_t>(kHashBits) && bucket_bits < kMaxBucketBits &&
         (uint64_t{16} << bucket_bits) < recs.size())
    ++bucket_bits;
  const uint32_t low_bits = static_cast<uint32_t>(kHashBits) - bucket_bits;
  const uint32_t sound_bits = bits_for(sounds.size());
  const uint32_t frame_bits = bits_for(max_frames);
  if (sound_bits > kMaxSoundBits || low_bits + sound_bits + frame_bits > 64)
    throw std::invalid_argument("too many sounds or frames for a record");
  const uint32_t record_bytes = (low_bits + sound_bits + frame_bits + 7) / 8;

  std::string out(kMagic, sizeof kMagic);
  le::append(out, kFormatVersion, 4);
  const std::vector<int32_t> params = param_list(p);
  le::append(out, params.size(), 4);
  for (int32_t v : params) le::append(out, static_cast<uint32_t>(v), 4);
  le::append(out, sounds.size(), 4);
  le::append(out, bucket_bits, 4);
  le::append(out, sound_bits, 4);
  le::append(out, frame_bits, 4);
  le::append(out, record_bytes, 4);
  le::append(out, recs.size(), 8);
  le::append(out, name_bytes, 8);
  uint64_t name_at = 0;
  for (const IndexedSound& snd : sounds) {
    le::append(out, static_cast<uint64_t>(snd.id), 8);
    le::append(out, snd.samples, 8);
    le::append(out, frame_count(snd.samples, p), 4);
    le::append(out, name_at, 4);
    le::append(out, snd.name.size(), 4);
    le::append(out, 0, 4);
    name_at += snd.name.size();
  }
  for (const IndexedSound& snd : sounds) out += snd.name;
  for (const IndexedSound& snd : sounds) {
    if (snd.envelope.empty())
      out.append(envelope_blocks(frame_count(snd.samples, p)) * kEnvelopeBlockBytes, '\0');
    else
      out.append(snd.envelope.begin(), snd.envelope.end());
  }
  const size_t buckets = size_t{1} << bucket_bits;
  size_t r = 0;
  for (size_t b = 0; b <= buckets; ++b) {
    while (r < recs.size() && (recs[r].hash >> low_bits) < b) ++r;
    le::append(out, r, 4);
  }
  const uint64_t low_mask = (uint64_t{1} << low_bits) - 1;
  for (const Rec& rec : recs) {
    const uint64_t v = ((rec.hash & low_mask) << (sound_bits + frame_bits)) |
                       (uint64_t{rec.sound} << frame_bits) | rec.frame;
    le::append(out, v, record_bytes);
  }
  return out;
}

std::optional<RankedFile> RankedFile::parse(std::string_view bytes, std::string& reason) {
  auto fail = [&](const char* why) {
    reason = why;
    return std::nullopt;
  };
  Cursor c(bytes);
  std::string_view magic;
  if (!c.take(sizeof kMagic, magic) || std::memcmp(magic.data(), kMagic, sizeof kMagic) != 0)
    return fail("not a sound ranked file");
  uint64_t version, count;
  if (!c.read(version, 4)) return fail("truncated header");
  if (version != kFormatVersion) return fail("unknown format version");
  const std::vector<int32_t> expected = param_list(kParams);
  if (!c.read(count, 4)) return fail("truncated header");
  if (count != expected.size()) return fail("built with other parameters");
  for (int32_t want : expected) {
    uint64_t v;
    if (!c.read(v, 4)) return fail("truncated header");
    if (static_cast<uint32_t>(v) != static_cast<uint32_t>(want)) return fail("built with other parameters");
  }
  uint64_t n, bucket_bits, sound_bits, frame_bits, record_bytes, records, name_bytes;
  if (!c.read(n, 4) || !c.read(bucket_bits, 4) || !c.read(sound_bits, 4) || !c.read(frame_bits, 4) ||
      !c.read(record_bytes, 4) || !c.read(records, 8) || !c.read(name_bytes, 8))
    return fail("truncated header");
  if (bucket_bits > kMaxBucketBits || bucket_bits > static_cast<uint64_t>(kHashBits))
    return fail("bad bucket count");
  if (sound_bits < 1 || sound_bits > kMaxSoundBits || frame_bits < 1 || frame_bits > 32)
    return fail("bad record fields");
  const uint64_t needed = static_cast<uint64_t>(kHashBits) - bucket_bits + sound_bits + frame_bits;
  if (needed > 64) return fail("bad record fields");
  if (record_bytes != (needed + 7) / 8) return fail("bad record width");
  if (n > c.left() / kSoundEntryBytes) return fail("sound table past the end");
  if (n > (uint64_t{1} << sound_bits)) return fail("more sounds than the records can name");

  RankedFile f;
  f.params_ = kParams;
  std::vector<std::tuple<uint64_t, uint64_t, uint64_t, uint64_t, uint64_t>> raw;
  raw.reserve(static_cast<size_t>(n));
  for (uint64_t i = 0; i < n; ++i) {
    uint64_t id, samples, frames, at, len, zero;
    if (!c.read(id, 8) || !c.read(samples, 8) || !c.read(frames, 4) || !c.read(at, 4) ||
        !c.read(len, 4) || !c.read(zero, 4))
      return fail("sound table past the end");
    if (id > static_cast<uint64_t>(INT64_MAX) || (i > 0 && id <= std::get<0>(raw.back())))
      return fail("sound ids out of order");
    if (frames != frame_count(samples, kParams)) return fail("sound frames disagree with its length");
    if (frames > (uint64_t{1} << frame_bits)) return fail("sound longer than the records can tell");
    if (zero != 0) return fail("bad sound entry");
    if (at > name_bytes || len > name_bytes - at) return fail("sound name past the names");
    raw.emplace_back(id, samples, frames, at, len);
  }
  std::string_view names;
  if (!c.take(name_bytes, names)) return fail("names past the end");
  f.sounds_.reserve(raw.size());
  for (const auto& [id, samples, frames, at, len] : raw) {
    // frames < 2^32, so the length cannot overflow.
    std::string_view env;
    if (!c.take(envelope_blocks(frames) * kEnvelopeBlockBytes, env)) return fail("envelopes past the end");
    f.sounds_.push_back({static_cast<int64_t>(id), names.substr(at, len), samples, static_cast<uint32_t>(frames),
                         {reinterpret_cast<const uint8_t*>(env.data()), env.size()}});
  }

  const uint64_t dir_bytes = ((uint64_t{1} << bucket_bits) + 1) * 4;
  if (!c.take(dir_bytes, f.directory_)) return fail("bucket directory past the end");
  if (records > c.left() / record_bytes) return fail("records past the end");
  if (c.left() != records * record_bytes) return fail("bytes after the records");
  if (!c.take(records * record_bytes, f.records_bytes_)) return fail("records past the end");
  uint64_t prev = 0;
  for (uint64_t b = 0; b * 4 < dir_bytes; ++b) {
    const uint64_t at = le::get32(f.directory_.data() + b * 4);
    if (at < prev || (b == 0 && at != 0)) return fail("bucket directory out of order");
    prev = at;
  }
  if (prev != records) return fail("bucket directory disagrees with the record count");
  f.records_ = records;
  f.bucket_bits_ = static_cast<uint32_t>(bucket_bits);
  f.sound_bits_ = static_cast<uint32_t>(sound_bits);
  f.frame_bits_ = static_cast<uint32_t>(frame_bits);
  f.record_bytes_ = static_cast<uint32_t>(record_bytes);
  return f;
}

std::optional<RankedFile::Place> RankedFile::place_of(uint32_t hash) const {
  if (hash >> kHashBits) return std::nullopt;
  const uint32_t key = mix(hash);
  const uint32_t low_bits = static_cast<uint32_t>(kHashBits) - bucket_bits_;
  return Place{key >> low_bits, key & ((uint64_t{1} << low_bits) - 1)};
}

std::pair<uint64_t, uint64_t> RankedFile::records_of(size_t b) const {
  return {le::get32(directory_.data() + b * 4), le::get32(directory_.data() + b * 4 + 4)};
}

size_t RankedFile::bucket_size(uint32_t hash) const {
  const auto place = place_of(hash);
  if (!place) return 0;
  const auto [first, last] = records_of(place->bucket);
  return static_cast<size_t>(last - first);
}

void RankedFile::lookup(uint32_t hash, std::vector<Posting>& out) const {
  const auto place = place_of(hash);
  if (!place) return;
  const auto [first, last] = records_of(place->bucket);
  // Records read eight bytes at a time, the last ones byte by byte.
  const uint64_t word_mask = record_bytes_ == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * record_bytes_)) - 1;
  const uint64_t whole = records_bytes_.size() < 8 ? 0 : (records_bytes_.size() - 8) / record_bytes_ + 1;
  const uint64_t low = place->low;
  const uint32_t posting_bits = sound_bits_ + frame_bits_;
  const uint64_t sound_mask = (uint64_t{1} << sound_bits_) - 1;
  const uint64_t frame_mask = (uint64_t{1} << frame_bits_) - 1;
  for (uint64_t r = first; r < last; ++r) {
    const size_t at = static_cast<size_t>(r * record_bytes_);
    const char* record = records_bytes_.data() + at;
    const uint64_t v = r < whole ? le::get64(record) & word_mask : le::get(record, record_bytes_);
    if ((v >> posting_bits) != low) continue;
    const uint64_t s = (v >> frame_bits_) & sound_mask;
    const uint64_t t = v & frame_mask;
    if (s >= sounds_.size() || t >= sounds_[s].frames) continue;
    out.push_back({static_cast<uint32_t>(s), static_cast<uint32_t>(t)});
  }
}

void RankedFile::lookup(std::span<const uint32_t> hashes, std::vector<Posting>& out,
                        std::vector<size_t>& ends) const {
  // A query's buckets lie anywhere in the file: each one is asked for a few
  // hashes ahead (its directory entry further ahead still), so that memory
  // fetches the next ones while one is read.
  constexpr size_t kRecordsAhead = 8, kDirectoryAhead = 16, kLinesAhead = 8;
  auto bucket = [&](size_t i) -> size_t {
    const auto place = place_of(hashes[i]);
    return place ? place->bucket : 0;
  };
  ends.clear();
  for (size_t i = 0; i < hashes.size(); ++i) {
    if (i + kDirectoryAhead < hashes.size()) __builtin_prefetch(directory_.data() + bucket(i + kDirectoryAhead) * 4);
    if (i + kRecordsAhead < hashes.size()) {
      const auto [first, last] = records_of(bucket(i + kRecordsAhead));
      const uint64_t end = std::min(last, first + kLinesAhead * 64 / record_bytes_ + 1) * record_bytes_;
      for (uint64_t at = first * record_bytes_; at < end; at += 64) __builtin_prefetch(records_bytes_.data() + at);
    }
    lookup(hashes[i], out);
    ends.push_back(out.size());
  }
}

}  // namespace sound_ranking
