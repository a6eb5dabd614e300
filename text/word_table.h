// A flat open-addressing table that numbers distinct words in order of first
// appearance. Keys are views into text the caller keeps alive, so inserting a
// word copies nothing. With `FoldAscii`, words that differ only in the case of
// ASCII letters are the same key (bytes 0x80 and above compare exactly).
#pragma once

#include <cstdint>
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
  explicit WordTable(size_t expected = 16) {
    size_t capacity = 16;
    while (capacity < expected * 2) capacity *= 2;
    slots_.assign(capacity, kEmpty);
  }

  // The number of `word`: its position among the distinct words met so far,
  // a new number when it was not met before.
  uint32_t intern(std::string_view word) {
    if ((words_.size() + 1) * 2 > slots_.size()) grow();
    const uint64_t h = hash(word);
    const size_t mask = slots_.size() - 1;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
      const uint32_t s = slots_[i];
      if (s == kEmpty) {
        const auto id = static_cast<uint32_t>(words_.size());
        slots_[i] = id;
        words_.push_back(word);
        hashes_.push_back(h);
        return id;
      }
      if (hashes_[s] == h && same(words_[s], word)) return s;
    }
  }

  size_t size() const { return words_.size(); }
  // The first form met of word number `id`.
  std::string_view word(uint32_t id) const { return words_[id]; }

 private:
  static constexpr uint32_t kEmpty = UINT32_MAX;

  static bool same(std::string_view a, std::string_view b) {
    if constexpr (FoldAscii) {
      return equal_fold_ascii(a, b);
    } else {
      return a == b;
    }
  }

  // FNV-1a, then a final mix so the low bits used for the slot are spread.
  static uint64_t hash(std::string_view word) {
    uint64_t h = 1469598103934665603ull;
    for (const char ch : word) {
      auto c = static_cast<unsigned char>(ch);
      if constexpr (FoldAscii) c = fold_ascii(c);
      h = (h ^ c) * 1099511628211ull;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return h;
  }

  void grow() {
    std::vector<uint32_t> bigger(slots_.size() * 2, kEmpty);
    const size_t mask = bigger.size() - 1;
    for (uint32_t id = 0; id < words_.size(); ++id) {
      size_t i = hashes_[id] & mask;
      while (bigger[i] != kEmpty) i = (i + 1) & mask;
      bigger[i] = id;
    }
    slots_.swap(bigger);
  }

  std::vector<uint32_t> slots_;
  std::vector<std::string_view> words_;
  std::vector<uint64_t> hashes_;
};

}  // namespace text
