#include "sound/ranking/rank.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "sound/ranking/bound_order.h"
#include "sound/ranking/envelope.h"
#include "sound/ranking/landmarks.h"
#include "sound/ranking/spectrum.h"
#include "sound/ranking/vote.h"
#include "sound/ranking/vote_groups.h"

namespace sound_ranking {

namespace {

ranking::Result result_of(const RankedFile& file, const Candidate& c) {
  const SoundEntry& e = file.sound(c.sound);
  const Params& p = file.params();
  ranking::Result r;
  r.id = e.id;
  r.name = std::string(e.name);
  r.score = c.votes;
  const double seconds = c.offset * p.hop / kSampleRate;
  const double end = static_cast<double>(e.samples) / kSampleRate;
  r.offset_s = std::clamp(seconds, 0.0, end);
  return r;
}

// How sure a verdict on `votes` is: 1/2 at the threshold `least`, towards
// 1 far above it (for a match) or near 0 (for "no match").
double match_likelihood(double votes, uint32_t least) {
  return 1.0 / (1.0 + std::exp(-(votes - (least - 0.5)) / 1.5));
}

// The agreement a candidate with `votes` needs (votes >= kMinVotes).
double agreement_needed(uint32_t votes) {
  double needed = kThresholds[0].agreement;
  for (const Threshold& t : kThresholds)
    if (votes >= t.votes) needed = t.agreement;
  return needed;
}

}  // namespace

uint32_t least_votes(size_t triplets) {
  return triplets <= kShortQuery ? kThresholds[0].votes : kThresholds[1].votes;
}

bool passes(const Candidate& c) {
  return c.votes >= std::max(c.least, kMinVotes) && c.agreement >= agreement_needed(c.votes);
}

std::vector<Candidate> candidates(const RankedFile& file, std::span<const float> query) {
  Params p = file.params();
  p.peaks_per_block = std::max(p.peaks_per_block, kQueryPeaksPerBlock);
  p.targets = std::max(p.targets, kQueryTargets);

  const Spectrum s = spectrum(query, p);
  const std::vector<Peak> peaks = find_peaks(s, p);
  std::vector<uint32_t> hashes;
  const auto triplets = triplet_features(peaks, p);
  const uint32_t least = least_votes(triplets.size());
  std::vector<uint32_t> probes, probe_frames;  // hash, query frame
  for (const auto& [f, frame] : triplets) {
    probe_hashes(f, kProbeMargin, hashes, kProbeFields);
    probes.insert(probes.end(), hashes.begin(), hashes.end());
    probe_frames.insert(probe_frames.end(), hashes.size(), frame);
  }
  // Room for every posting at once (their buckets hold them all), up to a
  // limit: memory only reserved costs nothing until it is written.
  constexpr size_t kMostRoom = size_t{1} << 24;
  size_t room = 0;
  for (uint32_t h : probes) room = std::min(kMostRoom, room + file.bucket_size(h));
  std::vector<Posting> postings;
  postings.reserve(room);
  std::vector<size_t> ends;
  file.lookup(probes, postings, ends);
  std::vector<FrameRun> runs;
  for (size_t i = 0; i < probes.size(); ++i) {
    if (!runs.empty() && runs.back().query_frame == probe_frames[i])
      runs.back().end = ends[i];
    else
      runs.push_back({probe_frames[i], ends[i]});
  }
  VoteGroups groups(postings, runs, file.sound_count());

  // Sounds in decreasing order of a bound of their alignment: sounds that
  // could neither be reported nor beat the best are not aligned. The exact
  // bound needs a sound's votes sorted; a coarser one, from two passes over
  // them, tells first which sounds may matter at all.
  Aligner aligner;
  BoundOrder order;
  for (uint32_t snd = 0; snd < file.sound_count(); ++snd)
    if (!groups.of(snd).empty()) order.add(snd, aligner.coarse_bound(groups.of(snd)));
  auto exact_bound = [&](uint32_t snd) { return aligner.bound(groups.sorted(snd)); };
  std::vector<float> bands;  // the query's band powers, once a sound needs them
  std::vector<Candidate> out;
  uint32_t best = 0, best_passing = 0;
  while (true) {
    // To matter, a sound must beat the best so far or pass the thresholds.
    const uint32_t to_report = std::max<uint32_t>(
        least, static_cast<uint32_t>(std::ceil(kRelativeVotes * best_passing)));
    const uint32_t needed = std::max<uint32_t>(1, std::min(to_report, best));
    const auto next = order.next(needed, exact_bound);  // bounds only decrease
    if (!next) break;
    const uint32_t sound = next->first;
    const std::span<const Vote> one = groups.sorted(sound);
    const SoundEntry& e = file.sound(sound);
    const double slack = 2;
    const double last = static_cast<double>(e.frames) - static_cast<double>(s.frames) + slack;
    const NearBest near =
        aligner.near_best(one, -slack, last, needed, kWindowShare, kCheckedWindows * std::size(kSpeeds));
    if (near.windows.empty()) continue;
    const Alignment& preferred = near.windows[0];
    Candidate c{sound, near.votes, 0, preferred.offset, preferred.speed, least};
    if (c.votes < least) {  // only a candidate for "no match"
      out.push_back(c);
      best = std::max(best, c.votes);
      continue;
    }
    if (bands.empty()) bands = band_powers(s, p);
    // The window the votes prefer, unless another one's envelope agrees
    // clearly better (inside the sound too, when the preferred one is).
    c.agreement = envelope_agreement(e.envelope, bands, s.frames, preferred.offset, preferred.speed);
    double best_other = c.agreement + kBetterAgreement;
    // Copies of a periodic sound align at the same speed: the other places
    // are looked for at the preferred window's speed.
    size_t checked = c.votes >= kPlacesCheckedFrom ? 1 : kCheckedWindows + 1 - kWeakPlaces;
    for (size_t i = 1; i < near.windows.size() && checked < kCheckedWindows; ++i) {
      const Alignment& w = near.windows[i];
      if (w.speed != preferred.speed || (preferred.inside && !w.inside)) continue;
      ++checked;
      const double agreement = envelope_agreement(e.envelope, bands, s.frames, w.offset, w.speed);
      if (agreement >= best_other) {
        best_other = agreement;
        c.agreement = agreement;
        c.offset = w.offset;
        c.speed = w.speed;
      }
    }
    out.push_back(c);
    best = std::max(best, c.votes);
    if (passes(c)) best_passing = std::max(best_passing, c.votes);
  }
  std::sort(out.begin(), out.end(), [](const Candidate& a, const Candidate& b) {
    return a.votes != b.votes ? a.votes > b.votes : a.sound < b.sound;
  });
  return out;
}

ranking::Ranking rank(const RankedFile& file, std::span<const float> query) {
  ranking::Ranking out;
  out.threshold = kMinVotes;
  const std::vector<Candidate> found = candidates(file, query);
  if (found.empty()) {
    out.confidence = 1 - match_likelihood(0, kMinVotes);
    return out;
  }
  const uint32_t least = found[0].least;
  out.threshold = least;
  uint32_t best = 0;
  for (const Candidate& c : found)
    if (passes(c)) best = std::max(best, c.votes);
  for (const Candidate& c : found)
    if (passes(c) && c.votes >= kRelativeVotes * best) out.results.push_back(result_of(file, c));
  out.match = !out.results.empty();
  if (out.match) {
    out.match_label = "source";
    out.best_candidate = out.results[0];
    out.confidence = match_likelihood(best, least);
    return out;
  }
  const Candidate& top = found[0];
  out.best_candidate = result_of(file, top);
  if (top.votes >= least) {
    out.measure_name = "accord spectral";
    out.measure = top.agreement;
    out.threshold = agreement_needed(top.votes);
  }
  out.confidence = 1 - match_likelihood(std::min(top.votes, least - 1), least);
  return out;
}

}  // namespace sound_ranking
