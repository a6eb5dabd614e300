// Sounds in decreasing order of the bound of their alignment (ties: the
// lower index first), each sound's exact bound computed only when it comes
// near the top: a sound enters with an upper bound of it, cheaper to get.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace sound_ranking {

class BoundOrder {
 public:
  void add(uint32_t sound, uint32_t upper) {
    heap_.push_back({upper, sound, false});
    std::push_heap(heap_.begin(), heap_.end(), Lower);
  }

  // The next sound in that order and its exact bound, or nothing when no
  // sound left can have `least` or more. exact(sound) gives the exact bound,
  // never above the upper bound the sound entered with.
  template <typename Exact>
  std::optional<std::pair<uint32_t, uint32_t>> next(uint32_t least, Exact&& exact) {
    while (!heap_.empty() && heap_.front().bound >= least) {
      std::pop_heap(heap_.begin(), heap_.end(), Lower);
      Entry e = heap_.back();
      heap_.pop_back();
      if (e.exact) return std::pair(e.sound, e.bound);
      // Back in line with its exact bound: it comes out when no other
      // sound's bound, upper or exact, goes before it.
      heap_.push_back({exact(e.sound), e.sound, true});
      std::push_heap(heap_.begin(), heap_.end(), Lower);
    }
    return std::nullopt;
  }

 private:
  struct Entry {
    uint32_t bound;
    uint32_t sound;
    bool exact;
  };
  static bool Lower(const Entry& a, const Entry& b) {
    return a.bound != b.bound ? a.bound < b.bound : a.sound > b.sound;
  }
  std::vector<Entry> heap_;
};

}  // namespace sound_ranking
