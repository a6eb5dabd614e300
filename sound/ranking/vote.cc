#include "sound/ranking/vote.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace sound_ranking {

namespace {

struct Placed {
  double offset;
  uint32_t query_frame;
  uint32_t vote;
  bool operator<(const Placed& o) const {
    return offset != o.offset ? offset < o.offset : query_frame < o.query_frame;
  }
};

// Sorts a nearly sorted `at` by insertion; when it is not nearly sorted
// after all (a long query: offsets move by a hundredth of its length from
// one speed to the next), places it by whole frames of offset first.
void resort(std::vector<Placed>& at) {
  size_t moves = 0;
  const size_t budget = 16 * at.size() + 64;
  for (size_t i = 1; i < at.size(); ++i) {
    const Placed x = at[i];
    size_t j = i;
    for (; j > 0 && x < at[j - 1]; --j) at[j] = at[j - 1];
    at[j] = x;
    if ((moves += i - j) > budget) break;
  }
  if (moves <= budget) return;
  double low = at[0].offset, high = at[0].offset;
  for (const Placed& x : at) {
    low = std::min(low, x.offset);
    high = std::max(high, x.offset);
  }
  if (!(high - low < static_cast<double>(4 * at.size() + 1024))) {
    std::sort(at.begin(), at.end());
    return;
  }
  // A counting sort on the whole frames, then insertion within each frame.
  auto frame = [low](const Placed& x) { return static_cast<size_t>(x.offset - low); };
  std::vector<size_t> count(static_cast<size_t>(high - low) + 2, 0);
  for (const Placed& x : at) ++count[frame(x) + 1];
  for (size_t k = 1; k < count.size(); ++k) count[k] += count[k - 1];
  std::vector<Placed> placed(at.size());
  for (const Placed& x : at) placed[count[frame(x)]++] = x;
  for (size_t i = 1; i < placed.size(); ++i) {
    const Placed x = placed[i];
    size_t j = i;
    for (; j > 0 && x < placed[j - 1]; --j) placed[j] = placed[j - 1];
    placed[j] = x;
  }
  at.swap(placed);
}

// One window of interest to near_best().
struct Tagged {
  size_t order;  // place in the order of kSpeeds, then of offsets
  bool near;
  Alignment w;
};

int64_t offset_of(const Vote& v) { return static_cast<int64_t>(v.db_frame) - static_cast<int64_t>(v.query_frame); }

uint32_t last_query_frame(std::span<const Vote> votes) {
  uint32_t last_frame = 0;
  for (const Vote& v : votes) last_frame = std::max(last_frame, v.query_frame);
  return last_frame;
}

// The widest spread of speed-1 offsets (db_frame - query_frame) that a window
// of any speed can hold, for a query whose last voting frame is last_frame.
int64_t bound_width(uint32_t last_frame) {
  double drift = 0;
  for (double speed : kSpeeds) drift = std::max(drift, std::abs(speed - 1));
  return static_cast<int64_t>(std::ceil(kAlignWidth + drift * last_frame));
}

// `votes` in increasing speed-1 offset: themselves when they already are,
// else a sorted copy in `copy`; and their last query frame. Votes of equal
// offset may come in any order: nothing below depends on it.
std::span<const Vote> by_offset(std::span<const Vote> votes, std::vector<Vote>& copy, uint32_t& last_frame) {
  last_frame = 0;
  bool sorted = true;
  int64_t previous = INT64_MIN;
  for (const Vote& v : votes) {
    last_frame = std::max(last_frame, v.query_frame);
    sorted &= offset_of(v) >= previous;
    previous = offset_of(v);
  }
  if (sorted) return votes;
  copy.assign(votes.begin(), votes.end());
  std::sort(copy.begin(), copy.end(), [](const Vote& a, const Vote& b) { return offset_of(a) < offset_of(b); });
  return copy;
}

// Calls fn(window, rank) for the window ending at each vote, at each speed
// (rank: the speed's place in kSpeeds). The votes come in increasing
// speed-1 offset, so at speed 1 only votes of one offset may need
// reordering; from one speed to the next (down from 1, then up from 1) the
// offsets move by a hundredth of a query frame per frame, so the previous
// order is nearly sorted. An insertion sort mends it in about linear time.
// Buffers: per_frame (votes of the window per query frame), at and at_one
// (the votes placed at a speed, and at speed 1).
template <typename Fn>
void for_each_window(std::span<const Vote> votes, double first, double last, Fn fn,
                     std::vector<uint32_t>& per_frame, std::vector<Placed>& at, std::vector<Placed>& at_one) {
  constexpr size_t kCount = std::size(kSpeeds);
  std::array<size_t, kCount> ranks;
  for (size_t r = 0; r < kCount; ++r) ranks[r] = r;
  std::sort(ranks.begin(), ranks.end(), [](size_t x, size_t y) { return kSpeeds[x] < kSpeeds[y]; });
  size_t one = 0;  // the speed nearest 1
  for (size_t k = 1; k < kCount; ++k)
    if (std::abs(kSpeeds[ranks[k]] - 1) < std::abs(kSpeeds[ranks[one]] - 1)) one = k;
  at.resize(votes.size());
  for (size_t i = 0; i < votes.size(); ++i) at[i] = {0, votes[i].query_frame, static_cast<uint32_t>(i)};
  const size_t frames_size = votes.empty() ? 0 : size_t{last_query_frame(votes)} + 1;
  auto pass = [&](size_t k) {
    const double speed = kSpeeds[ranks[k]];
    for (Placed& x : at)
      x.offset = static_cast<double>(votes[x.vote].db_frame) - speed * static_cast<double>(x.query_frame);
    resort(at);
    per_frame.assign(frames_size, 0);
    size_t lo = 0;
    uint32_t frames = 0;
    double sum = 0;
    for (size_t hi = 0; hi < at.size(); ++hi) {
      sum += at[hi].offset;
      frames += per_frame[at[hi].query_frame]++ == 0;
      while (at[hi].offset - at[lo].offset > kAlignWidth) {
        sum -= at[lo].offset;
        frames -= --per_frame[at[lo].query_frame] == 0;
        ++lo;
      }
      const uint32_t n = static_cast<uint32_t>(hi - lo + 1);
      const double offset = sum / n;
      fn(Alignment{frames, offset, speed, n, offset >= first && offset <= last}, ranks[k]);
    }
  };
  pass(one);
  at_one.assign(at.begin(), at.end());
  for (size_t k = one; k-- > 0;) pass(k);
  at.swap(at_one);
  for (size_t k = one + 1; k < kCount; ++k) pass(k);
}

}  // namespace

struct Aligner::Buffers {
  std::vector<Vote> sorted;
  std::vector<uint32_t> per_frame;
  std::vector<int> cover;
  std::vector<Vote> kept;
  std::vector<Placed> at, at_one;
  std::vector<Tagged> windows;
  std::vector<uint32_t> run_frames;
  std::vector<int64_t> run_mark;
};

Aligner::Aligner() : b_(std::make_unique<Buffers>()) {}
Aligner::~Aligner() = default;

uint32_t Aligner::bound(std::span<const Vote> votes) {
  uint32_t last_frame;
  const std::span<const Vote> at = by_offset(votes, b_->sorted, last_frame);
  const int64_t width = bound_width(last_frame);
  std::vector<uint32_t>& per_frame = b_->per_frame;
  per_frame.assign(votes.empty() ? 0 : size_t{last_frame} + 1, 0);
  uint32_t frames = 0, best = 0;
  for (size_t lo = 0, hi = 0; hi < at.size(); ++hi) {
    frames += per_frame[at[hi].query_frame]++ == 0;
    const int64_t from = offset_of(at[hi]) - width;
    while (offset_of(at[lo]) < from) frames -= --per_frame[at[lo++].query_frame] == 0;
    best = std::max(best, frames);
  }
  return best;
}

uint32_t Aligner::coarse_bound(std::span<const Vote> votes) {
  if (votes.empty()) return 0;
  uint32_t last_frame = 0;
  int64_t low = INT64_MAX, high = INT64_MIN;
  for (const Vote& v : votes) {
    last_frame = std::max(last_frame, v.query_frame);
    low = std::min(low, offset_of(v));
    high = std::max(high, offset_of(v));
  }
  const int64_t width = bound_width(last_frame);
  // Buckets of 2^shift offsets, a quarter of a range or less; coarser when
  // the offsets spread far wider than the votes are many.
  int shift = 0;
  while ((int64_t{8} << shift) <= width + 1) ++shift;
  while (((high - low) >> shift) > static_cast<int64_t>(4 * votes.size() + 1024)) ++shift;
  // A range of width + 1 offsets lies within the `span` buckets ending at
  // the bucket of its last offset.
  const size_t span = static_cast<size_t>(((width - 1) >> shift) + 2);
  const size_t buckets = static_cast<size_t>((high - low) >> shift) + 1;
  // Each query frame counts once in each run of span buckets that holds
  // one of its votes, at the run's last bucket.
  std::vector<uint32_t>& frames = b_->run_frames;
  std::vector<int64_t>& mark = b_->run_mark;  // the query frame counted last
  frames.assign(buckets + span, 0);
  mark.assign(buckets + span, -1);
  for (const Vote& v : votes) {
    const size_t k = static_cast<size_t>((offset_of(v) - low) >> shift);
    for (size_t end = k; end < k + span; ++end) {
      frames[end] += mark[end] != v.query_frame;
      mark[end] = v.query_frame;
    }
  }
  return *std::max_element(frames.begin(), frames.end());
}

NearBest Aligner::near_best(std::span<const Vote> votes, double first, double last, uint32_t needed,
                            double share, size_t max) {
  NearBest out;
  // Only the votes of speed-1 ranges of bound_width() holding enough votes
  // can belong to a window of interest: `needed` frames, or near that if it
  // is the best (near only grows with the best). The others are left out
  // before the exact (costlier) passes.
  // A range counts the query frames voting in it, as windows do.
  const double enough = std::max(1.0, needed - std::max(1.0, kNearShare * needed));
  uint32_t last_frame;
  const std::span<const Vote> at = by_offset(votes, b_->sorted, last_frame);
  const int64_t width = bound_width(last_frame);
  std::vector<uint32_t>& per_frame = b_->per_frame;
  per_frame.assign(votes.empty() ? 0 : size_t{last_frame} + 1, 0);
  std::vector<int>& cover = b_->cover;
  cover.assign(at.size() + 1, 0);
  uint32_t frames = 0;
  for (size_t lo = 0, hi = 0; hi < at.size(); ++hi) {
    frames += per_frame[at[hi].query_frame]++ == 0;
    const int64_t from = offset_of(at[hi]) - width;
    while (offset_of(at[lo]) < from) frames -= --per_frame[at[lo++].query_frame] == 0;
    if (frames >= enough) {
      ++cover[lo];
      --cover[hi + 1];
    }
  }
  std::vector<Vote>& kept = b_->kept;
  kept.clear();
  int open = 0;
  for (size_t i = 0; i < at.size(); ++i)
    if ((open += cover[i]) > 0) kept.push_back(at[i]);
  if (kept.empty() || max == 0) return out;

  // One pass: the windows that may be worth returning once the best support
  // is known. The bar only rises with the best so far (at least `needed`
  // when anything is returned), so none is missed.
  std::vector<Tagged>& windows = b_->windows;
  windows.clear();
  auto bar = [&](double best) {
    const double near = best - std::max(1.0, kNearShare * best);
    return std::min(near, std::max<double>(needed, share * best));
  };
  uint32_t most = 0;
  size_t position = 0;
  for_each_window(
      kept, first, last,
      [&](const Alignment& w, size_t rank) {
        most = std::max(most, w.votes);
        if (w.votes >= bar(std::max(most, needed)))
          windows.push_back({rank * (kept.size() + 1) + position % kept.size(), false, w});
        ++position;
      },
      per_frame, b_->at, b_->at_one);
  if (most < needed) return out;
  const double near = most - std::max(1.0, kNearShare * most);
  const double lowest = bar(most);
  std::erase_if(windows, [&](const Tagged& t) { return t.w.votes < lowest; });
  for (Tagged& t : windows) t.near = t.w.votes >= near;
  // The windows near the best in align()'s preference, then the others,
  // most supported first.
  std::sort(windows.begin(), windows.end(), [](const Tagged& a, const Tagged& b) {
    if (a.near != b.near) return a.near;
    if (!a.near && a.w.votes != b.w.votes) return a.w.votes > b.w.votes;
    if (a.w.inside != b.w.inside) return a.w.inside;
    if (a.w.all_votes != b.w.all_votes) return a.w.all_votes > b.w.all_votes;
    if (a.w.votes != b.w.votes) return a.w.votes > b.w.votes;
    return a.order < b.order;
  });
  // One window per place: a window within kAlignWidth frames of one
  // already taken (at any speed) adds nothing.
  for (const Tagged& t : windows) {
    if (out.windows.size() >= max) break;
    bool seen = false;
    for (const Alignment& o : out.windows) seen = seen || std::abs(o.offset - t.w.offset) <= kAlignWidth;
    if (!seen) out.windows.push_back(t.w);
  }
  if (!out.windows.empty()) out.votes = most;
  return out;
}

NearBest near_best(std::span<const Vote> votes, double first, double last, uint32_t needed, double share,
                   size_t max) {
  return Aligner().near_best(votes, first, last, needed, share, max);
}

Alignment align(std::span<const Vote> votes, double first, double last, uint32_t needed) {
  const NearBest best = Aligner().near_best(votes, first, last, needed, 1, 1);
  if (best.windows.empty()) return {};
  Alignment a = best.windows[0];
  a.votes = best.votes;
  return a;
}

uint32_t align_bound(std::span<const Vote> votes) { return Aligner().bound(votes); }

}  // namespace sound_ranking
