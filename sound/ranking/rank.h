// The ranked search of a query sound against a ranked file.
#pragma once

#include <span>

#include "ranking/ranking.h"
#include "sound/ranking/ranked_file.h"

namespace sound_ranking {

// Support needed for a sound to be reported: random agreements between
// unrelated sounds (the same synthetic voice saying other words included)
// stay below it on development queries.
inline constexpr uint32_t kMinVotes = 6;
// A sound is also reported only when it gathers at least this share of the
// best sound's votes: a word or tone shared by two sounds gives the second
// one a few votes, not a comparable count.
inline constexpr double kRelativeVotes = 0.3;
// Query triplet features this close to a cell boundary (in steps) are also
// looked up in the neighbouring cell, for the kProbeFields features nearest
// to one (all five: at most 32 lookups per triplet; three save a fifth of
// the query time and lose a development query or two).
inline constexpr float kProbeMargin = 0.3f;
inline constexpr int kProbeFields = 5;

// A query's triplets are a superset of the sound's: more peaks kept around
// each peak and more followers per anchor, so that a peak that noise adds or
// hides rarely removes the triplets the sound was indexed with.
inline constexpr int32_t kQueryPeaksPerBlock = 10;
inline constexpr int32_t kQueryTargets = 6;

// results: the sounds passing the thresholds, best first (ties by table
// order, i.e. id), each with the time in seconds where the query starts
// inside it; score = the alignment's support (query frames voting for one
// offset, see vote.h), compared with threshold = kMinVotes. A query without
// landmarks (silent, tiny) is "no match"; so is one whose best sound falls
// short, which is then best_candidate.
ranking::Ranking rank(const RankedFile& file, std::span<const float> query);

}  // namespace sound_ranking
