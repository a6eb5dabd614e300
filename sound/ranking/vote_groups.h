// A query's votes over many sounds, grouped by sound, each group in
// increasing order of offset (db_frame - query_frame) as align_bound() and
// near_best() take them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "sound/ranking/vote.h"

namespace sound_ranking {

struct SoundVote {
  uint32_t sound = 0;  // index in the ranked file's sound table
  Vote vote;
};

struct VoteGroups {
  std::vector<Vote> votes;
  std::vector<size_t> start;  // sound s has votes [start[s], start[s + 1])

  std::span<const Vote> of(size_t sound) const {
    return {votes.data() + start[sound], start[sound + 1] - start[sound]};
  }
};

// Radix sorts on the offset, then on the sound (stable): linear in the
// votes, whatever their count per sound. Votes naming a sound at or past
// `sounds` are dropped.
VoteGroups group_votes(std::span<const SoundVote> votes, size_t sounds);

}  // namespace sound_ranking
