// A flat open-addressing table that numbers distinct words in order of first
// appearance. Keys are views into text the caller keeps alive, so inserting a
// word copies nothing. With `FoldAscii`, words that differ only in the case of
// ASCII letters are the same key (bytes 0x80 and above compare exactly).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace text {

inline unsigned char fold_ascii(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

inline bool equal_fold_ascii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (fold_ascii(static_cast<unsigned char>(a[i])) != fold_ascii(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

template <bool FoldAscii>
class WordTable {
 public:
  explicit WordTable(size_t expected = 16) { reset(expected); }

  // Forgets every word, keeping the memory when it suits about `expected`
  // distinct words (one table serves many documents in turn).
  void reset(size_t expected) {
    size_t capacity = 16;
    while (capacity < expected * 2) capacity *= 2;
    if (slots_.size() < capacity || slots_.size() > capacity * 4) {
      slots_.assign(capacity, kEmpty);
    } else {
      std::fill(slots_.begin(), slots_.end(), kEmpty);
    }
    words_.clear();
  }

  // The number of `word`: its position among the distinct words met so far,
  // a new number when it was not met before.
  uint32_t intern(std::string_view word) {
    if ((words_.size() + 1) * 2 > slots_.size()) grow();
    const uint64_t h = hash(word);
    // A slot holds the high half of the word's hash beside its number, so
    // most mismatches are settled without looking at the word itself.
    const uint64_t tag = h & 0xffffffff00000000ull;
    const size_t mask = slots_.size() - 1;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
      const uint64_t s = slots_[i];
      if (s == kEmpty) {
        const auto id = static_cast<uint32_t>(words_.size());
        slots_[i] = tag | id;
        words_.push_back(word);
        return id;
      }
      if ((s & 0xffffffff00000000ull) == tag) {
        const auto id = static_cast<uint32_t>(s);
        if (same(words_[id], word)) return id;
      }
    }
  }

  size_t size() const { return words_.size(); }
  // Exposed for tests: the slot hash of a word.
  static uint64_t hash_of(std::string_view word) { return hash(word); }
  // The first form met of word number `id`.
  std::string_view word(uint32_t id) const { return words_[id]; }

 private:
  static constexpr uint64_t kEmpty = UINT64_MAX;

  static bool same(std::string_view a, std::string_view b) {
    if constexpr (FoldAscii) {
      return equal_fold_ascii(a, b);
    } else {
      return a == b;
    }
  }

  static uint64_t load64(const char* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
  }
  static uint64_t load32(const char* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
  }

  // ASCII capitals to small letters in all eight bytes at once.
  static uint64_t fold8(uint64_t v) {
    const uint64_t low7 = v & 0x7f7f7f7f7f7f7f7full;
    const uint64_t from_a = low7 + 0x3f3f3f3f3f3f3f3full;   // top bit: byte >= 'A'
    const uint64_t past_z = low7 + 0x2525252525252525ull;   // top bit: byte > 'Z'
    const uint64_t capital = (from_a ^ past_z) & ~v & 0x8080808080808080ull;
    return v | (capital >> 2);
  }

  // Whole words are read eight bytes at a time, the last piece through
  // overlapping loads (no byte-by-byte tail), then mixed so the low bits used
  // for the slot depend on every byte.
  static uint64_t hash(std::string_view word) {
    const char* p = word.data();
    size_t n = word.size();
    uint64_t h = 0x9e3779b97f4a7c15ull ^ n;
    auto mix = [&h](uint64_t v) {
      if constexpr (FoldAscii) v = fold8(v);
      h = (h ^ v) * 0xff51afd7ed558ccdull;
      h ^= h >> 29;
    };
    if (n > 8) {
      for (; n > 8; p += 8, n -= 8) mix(load64(p));
      mix(load64(p + n - 8));
    } else if (n >= 4) {
      mix(load32(p) | (load32(p + n - 4) << 32));
    } else if (n > 0) {
      const auto byte = [p](size_t i) { return static_cast<uint64_t>(static_cast<unsigned char>(p[i])); };
      mix(byte(0) | (byte(n / 2) << 8) | (byte(n - 1) << 16));
    }
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 32;
    return h;
  }

  void grow() {
    std::vector<uint64_t> bigger(slots_.size() * 2, kEmpty);
    const size_t mask = bigger.size() - 1;
    for (uint32_t id = 0; id < words_.size(); ++id) {
      const uint64_t h = hash(words_[id]);
      size_t i = h & mask;
      while (bigger[i] != kEmpty) i = (i + 1) & mask;
      bigger[i] = (h & 0xffffffff00000000ull) | id;
    }
    slots_.swap(bigger);
  }

  std::vector<uint64_t> slots_;
  std::vector<std::string_view> words_;
};

}  // namespace text
