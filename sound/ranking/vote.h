// Offset voting: a sound matches when many query landmarks meet its own
// landmarks at one consistent time offset.
#pragma once

#include <cstdint>
#include <span>

namespace sound_ranking {

struct Vote {
  uint32_t db_frame = 0;     // the sound's landmark frame
  uint32_t query_frame = 0;  // the query's landmark frame
};

struct Alignment {
  uint32_t votes = 0;  // query frames with a vote agreeing on one offset
  double offset = 0;   // sound frame where the query starts, refined
  double speed = 1;    // sound frames per query frame
  uint32_t all_votes = 0;  // votes of the window, several per frame included
  bool inside = false;     // offset within [first, last]
};

// Speeds tried: the query may play a few percent faster or slower than the
// sound, which makes a fixed offset drift along the query. For each speed s
// of kSpeeds, a vote says the query starts at db_frame - s * query_frame; the
// best window of kAlignWidth frames over every speed wins: most query frames
// voting in it (several triplets of one anchor frame agreeing tell little
// more than one), then an offset within [first, last] (where the whole query
// fits in the sound: repeated material, like a ring, aligns in several
// places), then most votes, then the speed nearest 1, then the earlier
// offset. The offset is the mean of the window's votes.
inline constexpr double kSpeeds[] = {1.0, 0.99, 1.01, 0.98, 1.02, 0.97, 1.03, 0.96, 1.04};
inline constexpr double kAlignWidth = 2.0;

Alignment align(std::span<const Vote> votes, double first, double last);

// An upper bound of align(votes, ...).votes in one sort of whole numbers:
// the most votes whose offset at speed 1 lies in a window wide enough to hold
// any window of any speed (at most a few percent of the query's length).
uint32_t align_bound(std::span<const Vote> votes);

}  // namespace sound_ranking
