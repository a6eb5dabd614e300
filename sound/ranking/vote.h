// Offset voting: a sound matches when many query landmarks meet its own
// landmarks at one consistent time offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

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
// of kSpeeds, a vote says the query starts at db_frame - s * query_frame, and
// a window gathers the votes within kAlignWidth frames of one another.
//
// A window's support is the number of query frames voting in it: several
// triplets of one anchor frame agreeing tell little more than one. The
// alignment's votes are the best support over every window and speed. Its
// offset (the mean of a window's votes) comes from the windows whose support
// is within kNearShare of the best (at least 1 below it): repeated material
// (a ring, an alarm) aligns in several places almost as well, so the window
// preferred is one whose offset lies within [first, last] (the whole query
// fits in the sound), then the one with most votes, then the best support;
// then the speed nearest 1 and the earlier offset.
inline constexpr double kSpeeds[] = {1.0, 0.99, 1.01, 0.98, 1.02, 0.97, 1.03, 0.96, 1.04};
inline constexpr double kAlignWidth = 2.0;
inline constexpr double kNearShare = 0.1;

// Windows with fewer than `needed` frames are of no interest to the caller:
// when no window has `needed`, the result is empty (votes 0), which saves
// most of the work on a sound that only random votes reach.
Alignment align(std::span<const Vote> votes, double first, double last, uint32_t needed = 1);

// Places where the query may start, for the caller to check by other
// means: periodic sound (an alarm, a ring) aligns almost as well one period
// away. First the windows align() chooses among (support within kNearShare
// of the best), in its order of preference, then the others with at least
// `share` of the best support and `needed` frames, most supported first.
// One window per place (none within kAlignWidth frames of another, whatever
// the speed), at most `max` of them, each with its own support in votes;
// and the best support. No windows when none has `needed` frames.
struct NearBest {
  uint32_t votes = 0;
  std::vector<Alignment> windows;
};
NearBest near_best(std::span<const Vote> votes, double first, double last, uint32_t needed, double share,
                   size_t max);

// An upper bound of align(votes, ...).votes in one sort of whole numbers:
// the most query frames voting for offsets at speed 1 that lie in a window
// wide enough to hold any window of any speed (at most a few percent of the
// query's length).
uint32_t align_bound(std::span<const Vote> votes);

// align_bound() and near_best() for a caller that aligns many sounds'
// votes in turn: the same results, with buffers kept from one call to the
// next. Votes already in increasing order of db_frame - query_frame (as
// VoteGroups::sorted() gives them) are not sorted again.
class Aligner {
 public:
  Aligner();
  ~Aligner();
  uint32_t bound(std::span<const Vote> votes);
  // An upper bound of bound(votes) without sorting them: the most query
  // frames voting in a run of buckets of a few offsets that holds any range
  // of bound(). Votes in any order; close to bound() when the votes of one
  // query frame come together (else that frame may count more than once).
  uint32_t coarse_bound(std::span<const Vote> votes);
  NearBest near_best(std::span<const Vote> votes, double first, double last, uint32_t needed, double share,
                     size_t max);

 private:
  struct Buffers;
  std::unique_ptr<Buffers> b_;
};

}  // namespace sound_ranking
