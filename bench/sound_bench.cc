// Sound side benchmark: generates a corpus of raw sounds (tones and chirps
// under slowly changing envelopes, plus noise bursts), then times "indexation"
// (empty text and image corpora, so the sound side dominates) against `cat`
// of the same bytes to /dev/null, and one "comparaison son" of a query cut
// from one of the sounds.
//
//   sound_bench [sounds=100] [seconds=60]
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_util.h"

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
  bench::Store store;
  const std::string corpus = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_SON/";
  const std::string work = store.path("work");
  const int picked = sounds / 2;
  const size_t cut_window = static_cast<size_t>(seconds) * kRate / kWindow / 3;
  std::vector<std::string> paths;
  uint64_t total_bytes = 0;
  for (int i = 0; i < sounds; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "son_%03d.bin", i);
    const std::vector<double> xs = makeSound(1000 + static_cast<uint64_t>(i), seconds);
    store.write(corpus + name, bytesOf(xs.data(), xs.size()));
    paths.push_back(store.path(corpus + name));
    total_bytes += xs.size() * sizeof(double);
    if (i == picked) {
      // 5 s starting with the first sample of window cut_window, so the query's
      // windows line up with the sound's and the best offset is cut_window.
      const size_t start = cut_window * kWindow - 1;
      store.write("q.bin", bytesOf(xs.data() + start, 5 * kRate));
    }
  }
  std::printf("corpus: %d sounds of %d s at %d Hz, %.1f MB; query: 5 s of son_%03d.bin from %.3f s\n",
              sounds, seconds, kRate, total_bytes / 1e6, picked,
              static_cast<double>(cut_window) * kWindow / kRate);

  const std::vector<std::string> index = {bench::engine_binary(), "indexation"};
  const std::vector<std::string> query = {bench::engine_binary(), "comparaison", "son", "../q.bin"};
  bench::time_once({index}, work);  // warms the page cache and builds the base
  std::vector<std::string> cat = {"cat"};
  cat.insert(cat.end(), paths.begin(), paths.end());
  // Interleaved, so a burst of load elsewhere touches both alike.
  bench::Timing cat_best, index_best;
  for (int round = 0; round < 5; ++round) {
    const bench::Timing c = bench::time_once({cat}, work), x = bench::time_once({index}, work);
    if (c.wall >= 0 && (cat_best.wall < 0 || c.wall < cat_best.wall)) cat_best = c;
    if (x.wall >= 0 && (index_best.wall < 0 || x.wall < index_best.wall)) index_best = x;
  }
  bench::show("cat of the corpus to /dev/null (best of 5)", cat_best);
  bench::show("indexation, sound corpus only (best of 5)", index_best, &cat_best, "cat");

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
  std::printf("report: %zu bytes, %d of %d sounds reported; %s\n", out.size(), found, sounds,
              picked_line.c_str());
  return 0;
}
