#include "sound/ranking/rank.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "sound/ranking/landmarks.h"
#include "sound/ranking/spectrum.h"
#include "sound/ranking/vote.h"

namespace sound_ranking {

namespace {

struct SoundVote {
  uint32_t sound;
  Vote vote;
};

ranking::Result result_of(const RankedFile& file, uint32_t sound, const Alignment& a) {
  const SoundEntry& e = file.sound(sound);
  const Params& p = file.params();
  ranking::Result r;
  r.id = e.id;
  r.name = std::string(e.name);
  r.score = a.votes;
  const double seconds = a.offset * p.hop / kSampleRate;
  const double end = static_cast<double>(e.samples) / kSampleRate;
  r.offset_s = std::clamp(seconds, 0.0, end);
  return r;
}

// How sure a verdict on `votes` is: 1/2 at the threshold, towards 1 far
// above it (for a match) or near 0 (for "no match").
double match_likelihood(double votes) {
  return 1.0 / (1.0 + std::exp(-(votes - (kMinVotes - 0.5)) / 1.5));
}

}  // namespace

ranking::Ranking rank(const RankedFile& file, std::span<const float> query) {
  Params p = file.params();
  p.peaks_per_block = std::max(p.peaks_per_block, kQueryPeaksPerBlock);
  p.targets = std::max(p.targets, kQueryTargets);
  ranking::Ranking out;
  out.threshold = kMinVotes;

  const Spectrum s = spectrum(query, p);
  const std::vector<Peak> peaks = find_peaks(s, p);
  std::vector<SoundVote> votes;
  std::vector<uint32_t> hashes;
  std::vector<Posting> postings;
  for (const auto& [f, frame] : triplet_features(peaks, p)) {
    probe_hashes(f, kProbeMargin, hashes, kProbeFields);
    postings.clear();
    for (uint32_t h : hashes) file.lookup(h, postings);
    for (const Posting& po : postings) votes.push_back({po.sound, {po.frame, frame}});
  }
  // Votes grouped by sound (counting sort), each group in offset order.
  std::vector<size_t> start(file.sound_count() + 1, 0);
  for (const SoundVote& v : votes) ++start[v.sound + 1];
  for (size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
  std::vector<Vote> grouped(votes.size());
  {
    std::vector<size_t> at(start.begin(), start.end() - 1);
    for (const SoundVote& v : votes) grouped[at[v.sound]++] = v.vote;
  }
  auto offset = [](const Vote& v) { return static_cast<int64_t>(v.db_frame) - static_cast<int64_t>(v.query_frame); };

  struct Scored {
    uint32_t sound;
    Alignment a;
  };
  // Each sound's votes and a bound of its alignment: sounds that could
  // neither be reported nor beat the best are not aligned.
  struct Span {
    uint32_t sound;
    size_t first, last;
    uint32_t bound;
  };
  std::vector<Span> spans;
  for (uint32_t snd = 0; snd + 1 < start.size(); ++snd) {
    if (start[snd] == start[snd + 1]) continue;
    const auto first = grouped.begin() + static_cast<ptrdiff_t>(start[snd]);
    const auto last = grouped.begin() + static_cast<ptrdiff_t>(start[snd + 1]);
    std::sort(first, last, [&](const Vote& a, const Vote& b) { return offset(a) < offset(b); });
    spans.push_back({snd, start[snd], start[snd + 1],
                     align_bound(std::span<const Vote>(&*first, static_cast<size_t>(last - first)))});
  }
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
    return a.bound != b.bound ? a.bound > b.bound : a.sound < b.sound;
  });
  std::vector<Scored> scored;
  uint32_t best_so_far = 0;
  for (const Span& sp : spans) {
    // To matter, a sound must beat the best so far or pass the thresholds.
    const uint32_t to_report = std::max<uint32_t>(
        kMinVotes, static_cast<uint32_t>(std::ceil(kRelativeVotes * best_so_far)));
    const uint32_t needed = std::max<uint32_t>(1, std::min(to_report, best_so_far));
    if (sp.bound < needed) break;  // bounds only decrease
    const std::span<const Vote> one(grouped.data() + sp.first, sp.last - sp.first);
    const SoundEntry& e = file.sound(sp.sound);
    const double slack = 2;
    const double last = static_cast<double>(e.frames) - static_cast<double>(s.frames) + slack;
    const Alignment a = align(one, -slack, last, needed);
    if (a.votes == 0) continue;
    scored.push_back({sp.sound, a});
    best_so_far = std::max(best_so_far, scored.back().a.votes);
  }
  std::sort(scored.begin(), scored.end(), [](const Scored& a, const Scored& b) {
    return a.a.votes != b.a.votes ? a.a.votes > b.a.votes : a.sound < b.sound;
  });
  if (scored.empty()) {
    out.confidence = 1 - match_likelihood(0);
    return out;
  }
  const uint32_t best = scored[0].a.votes;
  out.best_candidate = result_of(file, scored[0].sound, scored[0].a);
  for (const Scored& sc : scored) {
    if (sc.a.votes < kMinVotes || sc.a.votes < kRelativeVotes * best) break;
    out.results.push_back(result_of(file, sc.sound, sc.a));
  }
  out.match = !out.results.empty();
  if (out.match) out.match_label = "source";
  const double l = match_likelihood(best);
  out.confidence = out.match ? l : 1 - l;
  return out;
}

}  // namespace sound_ranking
