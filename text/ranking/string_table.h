// Numbers distinct strings in order of first insertion, keeping its own copy
// of each in one arena. Open addressing over a power-of-two array of 32-byte
// slots; a slot keeps the high half of the string's hash, its size and its
// number, and short strings whole, so a lookup usually reads one slot.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace textrank {

// Up to kShortKey bytes packed into two words with overlapping loads, the
// same way for equal strings; strings of one size that differ pack
// differently.
inline constexpr size_t kShortKey = 16;
struct ShortKey {
  uint64_t w[2] = {0, 0};
  explicit ShortKey(std::string_view s) {
    const char* p = s.data();
    const size_t n = s.size();
    if (n >= 8) {
      if (n > kShortKey) return;
      std::memcpy(&w[0], p, 8);
      std::memcpy(&w[1], p + n - 8, 8);
    } else if (n >= 4) {
      uint32_t a, b;
      std::memcpy(&a, p, 4);
      std::memcpy(&b, p + n - 4, 4);
      w[0] = a | uint64_t{b} << 32;
    } else if (n > 0) {
      const auto byte = [p](size_t i) { return uint64_t{static_cast<unsigned char>(p[i])}; };
      w[0] = byte(0) | byte(n / 2) << 8 | byte(n - 1) << 16;
    }
  }
};

// hash_bytes of a string of n <= kShortKey bytes packed as `k`.
inline uint64_t hash_short(const ShortKey& k, size_t n) {
  uint64_t h = (k.w[0] ^ (n * 0xff51afd7ed558ccdull)) * 0xbf58476d1ce4e5b9ull;
  h = (h ^ (h >> 31) ^ k.w[1]) * 0x94d049bb133111ebull;
  return h ^ (h >> 29);
}

// A 64-bit hash of bytes, eight at a time.
inline uint64_t hash_bytes(std::string_view s) {
  const size_t n = s.size();
  if (n <= kShortKey) return hash_short(ShortKey(s), n);
  uint64_t h = 0x9e3779b97f4a7c15ull ^ (n * 0xff51afd7ed558ccdull);
  const auto mix = [&h](uint64_t v) {
    h = (h ^ v) * 0xbf58476d1ce4e5b9ull;
    h ^= h >> 31;
  };
  {
    const char* p = s.data();
    uint64_t v;
    for (size_t i = 0; i + 8 < n; i += 8) {
      std::memcpy(&v, p + i, 8);
      mix(v);
    }
    std::memcpy(&v, p + n - 8, 8);
    mix(v);
  }
  h *= 0x94d049bb133111ebull;
  return h ^ (h >> 29);
}

class StringTable {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  StringTable() { clear(); }

  // The number of `s`, whose hash_bytes is `hash`; a new number when `s` was
  // not met before (then *inserted is set).
  uint32_t intern(std::string_view s, uint64_t hash, bool* inserted) {
    if ((entries_.size() + 1) * 2 > slots_.size()) grow();
    const Key key(s);
    const uint32_t tag = tag_of(hash);
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (slot.tag == 0) {
        const auto id = static_cast<uint32_t>(entries_.size());
        slot.tag = tag;
        slot.size = static_cast<uint32_t>(s.size());
        slot.id = id;
        slot.key[0] = key.w[0];
        slot.key[1] = key.w[1];
        entries_.push_back({arena_.size(), s.size(), hash});
        arena_.append(s);
        *inserted = true;
        return id;
      }
      if (same(slot, tag, key, s)) {
        *inserted = false;
        return slot.id;
      }
    }
  }

  // The number of `s`, or kNone.
  uint32_t find(std::string_view s, uint64_t hash) const {
    const Key key(s);
    const uint32_t tag = tag_of(hash);
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.tag == 0) return kNone;
      if (same(slot, tag, key, s)) return slot.id;
    }
  }

  std::string_view at(uint32_t id) const {
    const Entry& e = entries_[id];
    return std::string_view(arena_).substr(e.offset, e.size);
  }
  uint64_t hash(uint32_t id) const { return entries_[id].hash; }
  size_t size() const { return entries_.size(); }
  // Bytes of the strings, one after the other.
  size_t bytes() const { return arena_.size(); }
  // Memory held, about.
  size_t footprint() const { return arena_.size() + slots_.size() * sizeof(Slot) + entries_.size() * sizeof(Entry); }

  void clear() {
    slots_.assign(64, Slot{});
    entries_.clear();
    arena_.clear();
  }

 private:
  // Strings of up to kShortKey bytes are kept in their slot too, so most
  // lookups read one slot and nothing else.
  using Key = ShortKey;
  struct Slot {
    uint32_t tag = 0;  // high half of the hash, never 0; 0: empty
    uint32_t size = 0;
    uint32_t id = 0;
    uint32_t unused = 0;
    uint64_t key[2] = {0, 0};
  };
  static_assert(sizeof(Slot) == 32);
  struct Entry {
    size_t offset;
    size_t size;
    uint64_t hash;
  };

  static uint32_t tag_of(uint64_t hash) {
    const auto t = static_cast<uint32_t>(hash >> 32);
    return t == 0 ? 1 : t;
  }

  bool same(const Slot& slot, uint32_t tag, const Key& key, std::string_view s) const {
    if (slot.tag != tag || slot.size != s.size()) return false;
    if (s.size() <= kShortKey) return slot.key[0] == key.w[0] && slot.key[1] == key.w[1];
    return at(slot.id) == s;
  }

  void grow() {
    std::vector<Slot> bigger(slots_.size() * 2);
    const size_t mask = bigger.size() - 1;
    for (const Slot& slot : slots_) {
      if (slot.tag == 0) continue;
      size_t i = entries_[slot.id].hash & mask;
      while (bigger[i].tag != 0) i = (i + 1) & mask;
      bigger[i] = slot;
    }
    slots_.swap(bigger);
  }

  std::vector<Slot> slots_;
  std::vector<Entry> entries_;
  std::string arena_;
};

}  // namespace textrank
