// Numbers distinct strings in order of first insertion, keeping its own copy
// of each in one arena. Open addressing over a power-of-two slot array; a
// slot keeps the high half of the string's hash beside its number, so most
// mismatches are settled without touching the string.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace textrank {

// A 64-bit hash of bytes, eight at a time.
inline uint64_t hash_bytes(std::string_view s) {
  const char* p = s.data();
  size_t n = s.size();
  uint64_t h = 0x9e3779b97f4a7c15ull ^ (n * 0xff51afd7ed558ccdull);
  const auto mix = [&h](uint64_t v) {
    h = (h ^ v) * 0xbf58476d1ce4e5b9ull;
    h ^= h >> 31;
  };
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    mix(v);
  }
  if (n > 0) {
    uint64_t v = 0;
    std::memcpy(&v, p, n);
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
    const size_t mask = slots_.size() - 1;
    const uint64_t tag = hash & 0xffffffff00000000ull;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const uint64_t slot = slots_[i];
      if (slot == kEmpty) {
        const auto id = static_cast<uint32_t>(entries_.size());
        slots_[i] = tag | id;
        entries_.push_back({arena_.size(), s.size(), hash});
        arena_.append(s);
        *inserted = true;
        return id;
      }
      if ((slot & 0xffffffff00000000ull) == tag && at(static_cast<uint32_t>(slot)) == s) {
        *inserted = false;
        return static_cast<uint32_t>(slot);
      }
    }
  }

  // The number of `s`, or kNone.
  uint32_t find(std::string_view s, uint64_t hash) const {
    const size_t mask = slots_.size() - 1;
    const uint64_t tag = hash & 0xffffffff00000000ull;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const uint64_t slot = slots_[i];
      if (slot == kEmpty) return kNone;
      if ((slot & 0xffffffff00000000ull) == tag && at(static_cast<uint32_t>(slot)) == s)
        return static_cast<uint32_t>(slot);
    }
  }

  std::string_view at(uint32_t id) const {
    const Entry& e = entries_[id];
    return std::string_view(arena_).substr(e.offset, e.size);
  }
  uint64_t hash(uint32_t id) const { return entries_[id].hash; }
  size_t size() const { return entries_.size(); }
  size_t bytes() const { return arena_.size(); }

  void clear() {
    slots_.assign(64, kEmpty);
    entries_.clear();
    arena_.clear();
  }

 private:
  static constexpr uint64_t kEmpty = UINT64_MAX;
  struct Entry {
    size_t offset;
    size_t size;
    uint64_t hash;
  };

  void grow() {
    std::vector<uint64_t> bigger(slots_.size() * 2, kEmpty);
    const size_t mask = bigger.size() - 1;
    for (uint32_t id = 0; id < entries_.size(); ++id) {
      const uint64_t h = entries_[id].hash;
      size_t i = h & mask;
      while (bigger[i] != kEmpty) i = (i + 1) & mask;
      bigger[i] = (h & 0xffffffff00000000ull) | id;
    }
    slots_.swap(bigger);
  }

  std::vector<uint64_t> slots_;
  std::vector<Entry> entries_;
  std::string arena_;
};

}  // namespace textrank
