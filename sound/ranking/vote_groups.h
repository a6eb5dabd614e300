// A query's votes over many sounds, grouped by sound, each group in
// increasing order of offset (db_frame - query_frame) as align_bound() and
// near_best() take them.
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

struct VoteGroups {
  std::vector<Vote> votes;
  std::vector<size_t> start;  // sound s has votes [start[s], start[s + 1])

  std::span<const Vote> of(size_t sound) const {
    return {votes.data() + start[sound], start[sound + 1] - start[sound]};
  }
};

// A counting sort on the sound, then radix sorts on the offset: linear in
// the votes. Postings naming a sound at or past `sounds`, or past the last
// run, are dropped.
VoteGroups group_votes(std::span<const Posting> postings, std::span<const FrameRun> runs, size_t sounds);

}  // namespace sound_ranking
