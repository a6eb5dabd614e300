// The ranked search of a query sound against a ranked file.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "ranking/ranking.h"
#include "sound/ranking/ranked_file.h"

namespace sound_ranking {

// A sound is reported when its best alignment gathers at least `votes`
// query frames and its band envelope agrees with the query's there at least
// `agreement` (see envelope.h), for one of these pairs. Two or three votes
// come easily to unrelated sounds (the same synthetic voice saying other
// words), a matching envelope with them does not; two are all a short query
// of a sparse sound may get. Eight votes and more are rarely random: the
// envelope then only must not go against them (heavy noise, reverberation
// or a voice over the query blur its envelope, and a steady tone has next
// to none).
struct Threshold {
  uint32_t votes;
  double agreement;
};
inline constexpr Threshold kThresholds[] = {{2, 0.7}, {3, 0.6}, {6, 0.5}, {8, 0.0}};
inline constexpr uint32_t kMinVotes = kThresholds[0].votes;
// Random pairs of agreeing votes grow with the query's triplets: the first
// pair holds only for a query of at most kShortQuery triplets (about a
// second of speech), the others for every query.
inline constexpr size_t kShortQuery = 800;
// A sound is also reported only when it gathers at least this share of the
// best sound's votes: a word or tone shared by two sounds gives the second
// one a few votes, not a comparable count.
inline constexpr double kRelativeVotes = 0.3;
// A periodic sound (an alarm, a ring) aligns almost as well one period
// away; the query's silences and onsets tell where it lies. So the places
// of a strong match (kPlacesCheckedFrom votes or more) are compared by
// their envelope agreement: up to kCheckedWindows windows at the speed of
// the best one, with kWindowShare of the best support or more. The window
// the votes prefer is left only for one that agrees better by
// kBetterAgreement: across the periods of a steady sound the agreement
// barely moves, and the votes choose better there. A weaker match is
// checked where the votes place it.
inline constexpr size_t kCheckedWindows = 24;
inline constexpr double kWindowShare = 0.8;
inline constexpr double kBetterAgreement = 0.2;
inline constexpr uint32_t kPlacesCheckedFrom = 8;
inline constexpr size_t kWeakPlaces = 2;
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

// One sound's best placement of the query.
struct Candidate {
  uint32_t sound = 0;     // index in the file's sound table
  uint32_t votes = 0;     // support of the best window (see vote.h)
  double agreement = 0;   // envelope agreement at `offset`
  double offset = 0;      // sound frame where the query starts
  double speed = 1;
  uint32_t least = kMinVotes;  // the fewest votes this query's sounds need
};

// The fewest votes a sound needs for a query of `triplets` triplets.
uint32_t least_votes(size_t triplets);

// Pure: the sounds that may pass the thresholds (with the least votes or
// more, and at least kRelativeVotes of the best passing one) or be the best
// candidate, most votes first (ties by table order), each at the place
// chosen as above.
std::vector<Candidate> candidates(const RankedFile& file, std::span<const float> query);

// Whether a candidate passes the absolute thresholds (its least votes, and
// the agreement of the pair of thresholds its votes reach).
bool passes(const Candidate& c);

// results: the candidates that pass, best first, each with the time in
// seconds where the query starts inside it; score = the alignment's support
// (query frames voting for one offset, see vote.h). A query without
// landmarks (silent, tiny) is "no match"; so is one whose best sound falls
// short, which is then best_candidate, with the measure it missed (votes
// against the least votes, else the envelope agreement against the one
// needed).
ranking::Ranking rank(const RankedFile& file, std::span<const float> query);

}  // namespace sound_ranking
