#include "sound/ranking/vote.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace sound_ranking {

namespace {

// Calls fn(window) for the window ending at each vote, at each speed.
template <typename Fn>
void for_each_window(std::span<const Vote> votes, double first, double last, Fn fn) {
  uint32_t last_frame = 0;
  for (const Vote& v : votes) last_frame = std::max(last_frame, v.query_frame);
  // Votes of the window per query frame, and how many frames have any.
  std::vector<uint32_t> per_frame(votes.empty() ? 0 : size_t{last_frame} + 1);
  std::vector<std::pair<double, uint32_t>> at(votes.size());
  for (double speed : kSpeeds) {
    for (size_t i = 0; i < votes.size(); ++i)
      at[i] = {static_cast<double>(votes[i].db_frame) - speed * static_cast<double>(votes[i].query_frame),
               votes[i].query_frame};
    std::sort(at.begin(), at.end());
    std::fill(per_frame.begin(), per_frame.end(), 0);
    size_t lo = 0;
    uint32_t frames = 0;
    double sum = 0;
    for (size_t hi = 0; hi < at.size(); ++hi) {
      sum += at[hi].first;
      frames += per_frame[at[hi].second]++ == 0;
      while (at[hi].first - at[lo].first > kAlignWidth) {
        sum -= at[lo].first;
        frames -= --per_frame[at[lo].second] == 0;
        ++lo;
      }
      const uint32_t n = static_cast<uint32_t>(hi - lo + 1);
      const double offset = sum / n;
      fn(Alignment{frames, offset, speed, n, offset >= first && offset <= last});
    }
  }
}

}  // namespace

namespace {

// The widest spread of speed-1 offsets (db_frame - query_frame) that a window
// of any speed can hold.
int64_t bound_width(std::span<const Vote> votes) {
  uint32_t last_frame = 0;
  for (const Vote& v : votes) last_frame = std::max(last_frame, v.query_frame);
  double drift = 0;
  for (double speed : kSpeeds) drift = std::max(drift, std::abs(speed - 1));
  return static_cast<int64_t>(std::ceil(kAlignWidth + drift * last_frame));
}

// Votes sorted by speed-1 offset.
std::vector<std::pair<int64_t, Vote>> by_offset(std::span<const Vote> votes) {
  std::vector<std::pair<int64_t, Vote>> at(votes.size());
  for (size_t i = 0; i < votes.size(); ++i)
    at[i] = {static_cast<int64_t>(votes[i].db_frame) - static_cast<int64_t>(votes[i].query_frame), votes[i]};
  auto earlier = [](const auto& a, const auto& b) { return a.first < b.first; };
  if (!std::is_sorted(at.begin(), at.end(), earlier)) std::sort(at.begin(), at.end(), earlier);
  return at;
}

}  // namespace

namespace {

// near_best(), with the best support over every window in `most`.
std::vector<Alignment> windows_near_best(std::span<const Vote> votes, double first, double last, uint32_t needed,
                                         double share, size_t max, uint32_t& most) {
  most = 0;
  // Only the votes of speed-1 ranges of bound_width() holding enough votes
  // can belong to a window of interest: `needed` frames, or near that if it
  // is the best (near only grows with the best). The others are left out
  // before the exact (costlier) passes.
  const double enough = std::max(1.0, std::min(needed - std::max(1.0, kNearShare * needed), share * needed));
  const int64_t width = bound_width(votes);
  const auto at = by_offset(votes);
  std::vector<int> cover(at.size() + 1, 0);
  for (size_t lo = 0, hi = 0; hi < at.size(); ++hi) {
    while (at[hi].first - at[lo].first > width) ++lo;
    if (static_cast<double>(hi - lo + 1) >= enough) {
      ++cover[lo];
      --cover[hi + 1];
    }
  }
  std::vector<Vote> kept;
  int open = 0;
  for (size_t i = 0; i < at.size(); ++i)
    if ((open += cover[i]) > 0) kept.push_back(at[i].second);
  if (kept.empty() || max == 0) return {};

  for_each_window(kept, first, last, [&](const Alignment& w) { most = std::max(most, w.votes); });
  if (most < needed) return {};
  const double near = most - std::max(1.0, kNearShare * most);
  const double lowest = std::min(near, std::max(1.0, share * most));
  // Every window worth returning, tagged with its place in the order of
  // for_each_window (speeds nearest 1 first, then earlier offsets).
  struct Tagged {
    size_t order;
    bool near;
    Alignment w;
  };
  std::vector<Tagged> windows;
  size_t order = 0;
  for_each_window(kept, first, last, [&](const Alignment& w) {
    if (w.votes >= lowest) windows.push_back({order, w.votes >= near, w});
    ++order;
  });
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
  std::vector<Alignment> out;
  for (const Tagged& t : windows) {
    if (out.size() >= max) break;
    bool seen = false;
    for (const Alignment& o : out) seen = seen || std::abs(o.offset - t.w.offset) <= kAlignWidth;
    if (!seen) out.push_back(t.w);
  }
  return out;
}

}  // namespace

NearBest near_best(std::span<const Vote> votes, double first, double last, uint32_t needed, double share,
                   size_t max) {
  NearBest out;
  out.windows = windows_near_best(votes, first, last, needed, share, max, out.votes);
  if (out.windows.empty()) out.votes = 0;
  return out;
}

Alignment align(std::span<const Vote> votes, double first, double last, uint32_t needed) {
  uint32_t most;
  const std::vector<Alignment> best = windows_near_best(votes, first, last, needed, 1, 1, most);
  if (best.empty()) return {};
  Alignment a = best[0];
  a.votes = most;
  return a;
}

uint32_t align_bound(std::span<const Vote> votes) {
  const int64_t width = bound_width(votes);
  const auto at = by_offset(votes);
  size_t best = 0;
  for (size_t lo = 0, hi = 0; hi < at.size(); ++hi) {
    while (at[hi].first - at[lo].first > width) ++lo;
    best = std::max(best, hi - lo + 1);
  }
  return static_cast<uint32_t>(best);
}

}  // namespace sound_ranking
