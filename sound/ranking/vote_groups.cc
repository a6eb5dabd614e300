#include "sound/ranking/vote_groups.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace sound_ranking {

namespace {

// Digits of at most this many bits: a count table of 512 KiB at most.
constexpr int kMaxDigitBits = 16;

}  // namespace

VoteGroups group_votes(std::span<const SoundVote> votes, size_t sounds) {
  VoteGroups out;
  out.start.assign(sounds + 1, 0);
  // Offsets shifted by the latest query frame to be whole numbers >= 0.
  uint32_t last_query = 0, last_db = 0;
  for (const SoundVote& v : votes) {
    last_query = std::max(last_query, v.vote.query_frame);
    last_db = std::max(last_db, v.vote.db_frame);
  }
  auto key = [last_query](const Vote& v) { return uint64_t{v.db_frame} + last_query - v.query_frame; };

  std::vector<SoundVote> a, b;
  a.reserve(votes.size());
  for (const SoundVote& v : votes)
    if (v.sound < sounds) a.push_back(v);
  const int bits = std::bit_width(uint64_t{last_db} + last_query);
  const int passes = (bits + kMaxDigitBits - 1) / kMaxDigitBits;
  if (passes > 0) {
    const int digit = (bits + passes - 1) / passes;
    const uint64_t mask = (uint64_t{1} << digit) - 1;
    std::vector<size_t> count;
    b.resize(a.size());
    for (int pass = 0; pass < passes; ++pass) {
      const int shift = pass * digit;
      count.assign(size_t{1} << digit, 0);
      for (const SoundVote& v : a) ++count[(key(v.vote) >> shift) & mask];
      size_t at = 0;
      for (size_t& c : count) at += std::exchange(c, at);
      for (const SoundVote& v : a) b[count[(key(v.vote) >> shift) & mask]++] = v;
      a.swap(b);
    }
  }
  // Stable on the sound: each group keeps the offset order.
  for (const SoundVote& v : a) ++out.start[v.sound + 1];
  for (size_t s = 1; s <= sounds; ++s) out.start[s] += out.start[s - 1];
  out.votes.resize(a.size());
  std::vector<size_t> at(out.start.begin(), out.start.end() - 1);
  for (const SoundVote& v : a) out.votes[at[v.sound]++] = v.vote;
  return out;
}

}  // namespace sound_ranking
