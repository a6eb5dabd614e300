#include "sound/ranking/vote_groups.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace sound_ranking {

namespace {

// Radix digits: of up to kMaxDigitBits bits, fewer for fewer votes, so
// that the count table stays small beside them.
constexpr int kMinDigitBits = 8;
constexpr int kMaxDigitBits = 16;

// Sorts one sound's votes by `key` (whole numbers >= 0), through `scratch`.
template <typename Key>
void sort_group(std::span<Vote> group, Key key, std::vector<Vote>& scratch, std::vector<size_t>& count) {
  if (group.size() < 2) return;
  uint64_t least = UINT64_MAX, most = 0;
  for (const Vote& v : group) {
    least = std::min(least, key(v));
    most = std::max(most, key(v));
  }
  const int bits = static_cast<int>(std::bit_width(most - least));
  if (bits == 0) return;
  const int cap = std::clamp(static_cast<int>(std::bit_width(group.size())), kMinDigitBits, kMaxDigitBits);
  const int passes = (bits + cap - 1) / cap;
  const int digit = (bits + passes - 1) / passes;
  const uint64_t mask = (uint64_t{1} << digit) - 1;
  scratch.resize(group.size());
  std::span<Vote> from = group, to(scratch.data(), group.size());
  for (int pass = 0; pass < passes; ++pass) {
    const int shift = pass * digit;
    count.assign(size_t{1} << digit, 0);
    for (const Vote& v : from) ++count[((key(v) - least) >> shift) & mask];
    size_t at = 0;
    for (size_t& c : count) at += std::exchange(c, at);
    for (const Vote& v : from) to[count[((key(v) - least) >> shift) & mask]++] = v;
    std::swap(from, to);
  }
  if (from.data() != group.data()) std::copy(from.begin(), from.end(), group.begin());
}

}  // namespace

VoteGroups::VoteGroups(std::span<const Posting> postings, std::span<const FrameRun> runs, size_t sounds)
    : start_(sounds + 1, 0), sorted_(sounds, false) {
  // Calls fn(posting, query frame) for each vote.
  auto each = [&](auto fn) {
    size_t i = 0;
    for (const FrameRun& run : runs)
      for (const size_t end = std::min(run.end, postings.size()); i < end; ++i)
        if (postings[i].sound < sounds) fn(postings[i], run.query_frame);
  };
  each([&](const Posting& p, uint32_t query_frame) {
    ++start_[p.sound + 1];
    last_query_ = std::max(last_query_, query_frame);
  });
  for (size_t s = 1; s <= sounds; ++s) start_[s] += start_[s - 1];
  votes_.resize(start_[sounds]);
  std::vector<size_t> at(start_.begin(), start_.end() - 1);
  each([&](const Posting& p, uint32_t query_frame) { votes_[at[p.sound]++] = {p.frame, query_frame}; });
}

std::span<const Vote> VoteGroups::sorted(size_t sound) {
  if (!sorted_[sound]) {
    // Offsets shifted by the latest query frame to be whole numbers >= 0.
    auto key = [this](const Vote& v) { return uint64_t{v.db_frame} + last_query_ - v.query_frame; };
    sort_group({votes_.data() + start_[sound], start_[sound + 1] - start_[sound]}, key, scratch_, count_);
    sorted_[sound] = true;
  }
  return of(sound);
}

}  // namespace sound_ranking
