// What the describer worked out for each word form met: its stem number and
// its folded form. Open addressing over 32-byte slots placed by the high
// half of the form's hash and holding short forms packed, so a lookup of a
// form met before usually reads one cache line.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "text/ranking/string_table.h"

namespace textrank {

class FormCache {
 public:
  static constexpr uint32_t kSameAsForm = UINT32_MAX;
  // Longer forms are not cached; folded forms are no longer than theirs.
  static constexpr size_t kLongestForm = 64;

  struct Value {
    uint32_t stem;           // the describer's stem number, or its "stop word"
    uint32_t folded_offset;  // in folded(), or kSameAsForm
    uint32_t folded_size;
  };

  FormCache() { clear(); }

  // Whether `form` (at most kLongestForm bytes, packed as `key`, hashed as
  // `hash`) is cached; its value goes to `out`.
  bool find(std::string_view form, const ShortKey& key, uint64_t hash, Value& out) const {
    const uint32_t tag = tag_of(hash);
    const size_t mask = slots_.size() - 1;
    for (size_t i = tag & mask;; i = (i + 1) & mask) {
      const Slot& s = slots_[i];
      if (s.tag == 0) return false;
      if (s.tag == tag && s.size == form.size() && same(s, key, form)) {
        out = {s.stem, s.folded_offset, s.folded_size};
        return true;
      }
    }
  }

  // Caches `form` (not cached yet) with `value`.
  void insert(std::string_view form, uint64_t hash, const Value& value) {
    if ((count_ + 1) * 4 > slots_.size() * 3) grow();
    place(form, hash, value);
    ++count_;
  }

  // Appends `folded` to the folded forms; returns its offset there.
  uint32_t add_folded(std::string_view folded) {
    const auto at = static_cast<uint32_t>(folded_.size());
    folded_.append(folded);
    return at;
  }
  std::string_view folded(const Value& v) const { return std::string_view(folded_).substr(v.folded_offset, v.folded_size); }

  size_t size() const { return count_; }
  size_t bytes() const { return slots_.size() * sizeof(Slot) + long_forms_.size() + folded_.size(); }

  void clear() {
    slots_.assign(1024, Slot{});
    long_forms_.clear();
    folded_.clear();
    count_ = 0;
  }

 private:
  static constexpr size_t kInline = kShortKey;
  using Key = ShortKey;
  struct Slot {
    uint32_t tag = 0;  // 0: empty
    uint16_t size = 0;
    uint16_t folded_size = 0;
    uint32_t stem = 0;
    uint32_t folded_offset = 0;
    uint64_t key[2] = {0, 0};  // the form when short, else its offset in long_forms_
  };
  static_assert(sizeof(Slot) == 32);

  static uint32_t tag_of(uint64_t hash) {
    const auto t = static_cast<uint32_t>(hash >> 32);
    return t == 0 ? 1 : t;
  }

  bool same(const Slot& s, const Key& key, std::string_view form) const {
    if (form.size() <= kInline) return s.key[0] == key.w[0] && s.key[1] == key.w[1];
    return std::memcmp(long_forms_.data() + s.key[0], form.data(), form.size()) == 0;
  }

  void place(std::string_view form, uint64_t hash, const Value& value) {
    const size_t mask = slots_.size() - 1;
    const uint32_t tag = tag_of(hash);
    size_t i = tag & mask;
    while (slots_[i].tag != 0) i = (i + 1) & mask;
    Slot& s = slots_[i];
    s.tag = tag;
    s.size = static_cast<uint16_t>(form.size());
    s.folded_size = static_cast<uint16_t>(value.folded_size);
    s.stem = value.stem;
    s.folded_offset = value.folded_offset;
    if (form.size() <= kInline) {
      const Key k(form);
      s.key[0] = k.w[0];
      s.key[1] = k.w[1];
    } else {
      s.key[0] = long_forms_.size();
      long_forms_.append(form);
    }
  }

  // Slots are placed by their tag, so growing needs no form.
  void grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
      if (s.tag == 0) continue;
      size_t i = s.tag & mask;
      while (slots_[i].tag != 0) i = (i + 1) & mask;
      slots_[i] = s;
    }
  }

  std::vector<Slot> slots_;
  std::string long_forms_;
  std::string folded_;
  size_t count_ = 0;
};

}  // namespace textrank
