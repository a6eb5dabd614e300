// A query's votes over many sounds, grouped by sound: each group in the
// order found (query frame order) until it is sorted by offset
// (db_frame - query_frame), as align_bound() and near_best() take them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "sound/ranking/ranked_file.h"
#include "sound/ranking/vote.h"

namespace sound_ranking {

// The postings found for one query frame's hashes end at `end` in the list
// of every posting found, where the previous run ends they start.
struct FrameRun {
  uint32_t query_frame = 0;
  size_t end = 0;
};

class VoteGroups {
 public:
  // A counting sort on the sound: linear in the votes. Postings naming a
  // sound at or past `sounds`, or past the last run, are dropped.
  VoteGroups(std::span<const Posting> postings, std::span<const FrameRun> runs, size_t sounds);

  std::span<const Vote> of(size_t sound) const {
    return {votes_.data() + start_[sound], start_[sound + 1] - start_[sound]};
  }
  // The votes of `sound` in increasing offset order (radix sorts, done
  // once).
  std::span<const Vote> sorted(size_t sound);

 private:
  std::vector<Vote> votes_;
  std::vector<size_t> start_;  // sound s has votes [start_[s], start_[s + 1])
  std::vector<bool> sorted_;
  uint32_t last_query_ = 0;
  std::vector<Vote> scratch_;
  std::vector<size_t> count_;
};

}  // namespace sound_ranking
