// Sound side benchmark: generates a corpus of raw sounds (tones and chirps
// under slowly changing envelopes, plus noise bursts), then times "indexation"
// (empty text and image corpora, so the sound side dominates) against `cat`
// of the same bytes to /dev/null, and "comparaison son" and "classement son"
// of a query cut from one of the sounds.
//
// What the ranked search adds to the indexation is measured in this process,
// on the same files, with the indexation's own describing function: each
// sound described for the legacy base alone, then with its fingerprint taken
// from the same read, and the ranked file built from the fingerprints.
//
//   sound_bench [sounds=100] [seconds=60]
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "common/parallel.h"
#include "sound/bounds.h"
#include "sound/indexation.h"
#include "sound/ranking/ranked_file.h"
#include "store/env.h"

namespace {

constexpr int kRate = 16000;
constexpr int kWindow = 2048;  // echantillons of the default configuration

using bench::Rng;

// One sound: every quarter second a new envelope level, a tone or a chirp
// under it, and now and then a noise burst; amplitudes stay within [-1, 1].
std::vector<double> makeSound(uint64_t seed, int seconds) {
  Rng rng{seed};
  std::vector<double> xs(static_cast<size_t>(seconds) * kRate);
  double phase = 0, freq = 200 + 800 * rng.unit();
  const size_t segment = kRate / 4;
  for (size_t start = 0; start < xs.size(); start += segment) {
    const double level = 0.05 + 0.9 * rng.unit();
    const double sweep = rng.unit() < 0.5 ? 0 : (rng.unit() - 0.5) * 0.02;
    const bool burst = rng.unit() < 0.1;
    for (size_t i = start; i < std::min(xs.size(), start + segment); ++i) {
      freq = std::fmin(4000, std::fmax(50, freq + sweep));
      phase += 2 * M_PI * freq / kRate;
      double x = level * std::sin(phase);
      if (burst) x = level * (2 * rng.unit() - 1);
      xs[i] = std::fmax(-1.0, std::fmin(1.0, x + 0.01 * (2 * rng.unit() - 1)));
    }
  }
  return xs;
}

// The corpus described as the indexation describes it, on `threads` threads:
// rows of the legacy base always, fingerprints when `fingerprints` is given.
// Gives the wall time, and the processor time of the calling thread when it
// works alone.
struct Pass {
  double wall = -1;
  double cpu = -1;
};
Pass describe_all(store::Directory& corpus, const std::vector<std::string>& names, unsigned threads,
                  std::vector<sound::Fingerprint>* fingerprints) {
  const sound::Bounds bounds(40);
  std::vector<size_t> rows_bytes(names.size());
  bool ok = true;
  const double cpu0 = bench::thread_cpu();
  const auto start = std::chrono::steady_clock::now();
  parallel::for_each_index(
      names.size(),
      [&](size_t i) {
        std::string rows;
        sound::Fingerprint* f = fingerprints ? &(*fingerprints)[i] : nullptr;
        if (!sound::setDescriptor(corpus, bounds, kWindow, names[i], rows, f).ok()) ok = false;
        rows_bytes[i] = rows.size();
      },
      threads);
  Pass p;
  p.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  p.cpu = threads == 1 ? bench::thread_cpu() - cpu0 : -1;
  if (!ok) p.wall = p.cpu = -1;
  return p;
}

std::string first_result(const std::string& report) {
  const size_t at = report.find("\n1. ");
  if (at == std::string::npos) return "(none)";
  return report.substr(at + 1, report.find('\n', at + 1) - at - 1);
}

std::string bytesOf(const double* xs, size_t count) {
  std::string out(count * sizeof(double), '\0');
  std::memcpy(out.data(), xs, out.size());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const int sounds = argc > 1 ? std::atoi(argv[1]) : 100;
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
  if (sounds < 1 || seconds < 6) {
    std::fprintf(stderr, "usage: sound_bench [sounds>=1] [seconds>=6]\n");
    return 2;
  }
  bench::show_load("at the start");
  bench::Store store;
  const std::string corpus = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_SON/";
  const std::string work = store.path("work");
  const int picked = sounds / 2;
  const size_t cut_window = static_cast<size_t>(seconds) * kRate / kWindow / 3;
  std::vector<std::string> names, paths;
  uint64_t total_bytes = 0;
  for (int i = 0; i < sounds; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "son_%03d.bin", i);
    const std::vector<double> xs = makeSound(1000 + static_cast<uint64_t>(i), seconds);
    store.write(corpus + name, bytesOf(xs.data(), xs.size()));
    names.push_back(name);
    paths.push_back(store.path(corpus + name));
    total_bytes += xs.size() * sizeof(double);
    if (i == picked) {
      // 5 s starting with the first sample of window cut_window, so the query's
      // windows line up with the sound's and the best offset is cut_window.
      const size_t start = cut_window * kWindow - 1;
      store.write("q.bin", bytesOf(xs.data() + start, 5 * kRate));
    }
  }
  const double audio_seconds = static_cast<double>(sounds) * seconds;
  std::printf("corpus: %d sounds of %d s at %d Hz, %.1f MB; query: 5 s of son_%03d.bin from %.3f s\n",
              sounds, seconds, kRate, total_bytes / 1e6, picked,
              static_cast<double>(cut_window) * kWindow / kRate);

  const std::string engine = bench::engine_binary();
  const std::vector<std::string> index = {engine, "indexation"};
  bench::time_once({index}, work);  // warms the page cache and builds the bases
  std::vector<std::string> cat = {"cat"};
  cat.insert(cat.end(), paths.begin(), paths.end());
  // With a baseline engine, the engine's own run ends each round, so its
  // bases are the ones left in place.
  const std::string baseline = bench::baseline_engine();
  std::vector<bench::Timed> groups = {{{cat}, work}, {{index}, work}};
  if (!baseline.empty()) groups.push_back({{{baseline, "indexation"}}, work});
  const bench::Timed restore = {{index}, work};
  const std::vector<bench::Timing> runs = bench::in_turns(5, groups, baseline.empty() ? nullptr : &restore);
  const bench::Timing& cat_best = runs[0];
  const bench::Timing& index_best = runs[1];
  bench::show("cat of the corpus to /dev/null (best of 5)", cat_best);
  bench::show("indexation, sound corpus only (best of 5)", index_best, &cat_best, "cat");
  if (!baseline.empty()) {
    bench::show("  the same, engine without the ranked part", runs[2], &cat_best, "cat");
    std::printf("  the ranked part adds %.3f s wall, %.3f s cpu\n", index_best.wall - runs[2].wall,
                index_best.cpu - runs[2].cpu);
  }
  const std::string base = "EXTERN_FILES/database/base_son/";
  const size_t legacy_bytes = bench::file_size(store.path(base + "base_descripteur_son.txt"));
  const size_t ranked_bytes = bench::file_size(store.path(base + "classement_son.idx"));
  std::printf("  legacy base %.2f MB, ranked file %.2f MB (%.2f x the legacy base)\n", legacy_bytes / 1e6,
              ranked_bytes / 1e6, static_cast<double>(ranked_bytes) / static_cast<double>(legacy_bytes));

  // The ranked part, in this process: best of 3 of each pass, interleaved.
  std::unique_ptr<store::Directory> dir;
  if (!store::Env::Default()->OpenDirectory(store.path(corpus), &dir).ok()) return 1;
  std::vector<sound::Fingerprint> fingerprints(names.size());
  Pass legacy1, with1, legacy2, with2;
  const auto keep = [](Pass& best, const Pass& p, bool by_cpu) {
    if (p.wall < 0) return;
    if (best.wall < 0 || (by_cpu ? p.cpu < best.cpu : p.wall < best.wall)) best = p;
  };
  for (int round = 0; round < 3; ++round) {
    keep(legacy1, describe_all(*dir, names, 1, nullptr), true);
    keep(with1, describe_all(*dir, names, 1, &fingerprints), true);
    keep(legacy2, describe_all(*dir, names, 0, nullptr), false);
    keep(with2, describe_all(*dir, names, 0, &fingerprints), false);
  }
  std::vector<sound_ranking::IndexedSound> indexed;
  for (size_t i = 0; i < names.size(); ++i)
    indexed.push_back({static_cast<int64_t>(i), names[i], fingerprints[i].samples, fingerprints[i].landmarks,
                       fingerprints[i].envelope});
  double build_cpu = -1;
  size_t built_bytes = 0;
  for (int round = 0; round < 3; ++round) {
    const double cpu0 = bench::thread_cpu();
    built_bytes = sound_ranking::build_ranked_file(indexed).size();
    const double cpu = bench::thread_cpu() - cpu0;
    if (build_cpu < 0 || cpu < build_cpu) build_cpu = cpu;
  }
  const double fingerprint_cpu = with1.cpu - legacy1.cpu;
  std::printf("in this process, the indexation's describing of every sound (best of 3):\n");
  std::printf("  one thread, legacy rows only             %7.3f s cpu\n", legacy1.cpu);
  std::printf("  one thread, rows and fingerprints        %7.3f s cpu\n", with1.cpu);
  std::printf("  fingerprinting alone (the difference)    %7.3f s cpu = %.0f x real time on one core\n",
              fingerprint_cpu, audio_seconds / fingerprint_cpu);
  std::printf("  ranked file build (%zu bytes)        %7.3f s cpu\n", built_bytes, build_cpu);
  std::printf("  every core, legacy rows only             %7.3f s wall (%.2fx cat)\n", legacy2.wall,
              legacy2.wall / cat_best.wall);
  std::printf("  every core, rows and fingerprints        %7.3f s wall (%.2fx cat)\n", with2.wall,
              with2.wall / cat_best.wall);
  std::printf("  the ranked part adds %.3f s cpu (%.0f %% of the indexation's %.3f s cpu), %.3f s wall\n",
              fingerprint_cpu + build_cpu, 100 * (fingerprint_cpu + build_cpu) / index_best.cpu, index_best.cpu,
              with2.wall - legacy2.wall + build_cpu);

  const std::vector<std::string> query = {engine, "comparaison", "son", "../q.bin"};
  std::string out;
  bench::timed_run(query, work, &out);
  bench::show("comparaison son, 5 s query (best of 5)", bench::best(5, {query}, work));

  // Every sound whose scores jump by more than 1000 within a pair of offsets
  // is reported, so most of a varied corpus is; the span line of the sound the
  // query was cut from must give the cut's time.
  int found = 0;
  std::string picked_line;
  char picked_name[32];
  std::snprintf(picked_name, sizeof picked_name, "son_%03d.bin", picked);
  for (size_t at = 0, end; at < out.size(); at = end + 1) {
    end = out.find('\n', at);
    if (end == std::string::npos) end = out.size();
    const std::string line = out.substr(at, end - at);
    if (line.rfind("Trouvé dans ", 0) != 0) continue;
    ++found;
    if (line.find(picked_name) != std::string::npos) picked_line = line;
  }
  std::printf("  report: %zu bytes, %d of %d sounds reported; %s\n", out.size(), found, sounds,
              picked_line.c_str());

  const std::vector<std::string> rank = {engine, "classement", "son", "../q.bin"};
  const bench::Timing rank_best = bench::best(5, {rank}, work);
  bench::show("classement son, 5 s query (best of 5)", rank_best);
  bench::timed_run(rank, work, &out);
  std::printf("  first: %s\n", first_result(out).c_str());

  std::printf("\n");
  bench::target("fingerprinting speed, one core", audio_seconds / fingerprint_cpu, 1000, "x", true);
  bench::target("ranked part added to the indexation, cpu", fingerprint_cpu + build_cpu,
                audio_seconds / 1000, "s");
  bench::target("classement son, 5 s query, wall", rank_best.wall * 1000, 50, "ms");
  bench::target("ranked file / legacy base, size", static_cast<double>(ranked_bytes) / legacy_bytes, 1, "x");
  bench::show_load("at the end");
  return index_best.wall < 0 || rank_best.wall < 0 || legacy1.wall < 0 || with1.wall < 0 ? 1 : 0;
}
