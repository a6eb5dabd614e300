// Shared pieces of the benchmark programs: a temporary data store, a seeded
// generator, timed runs of commands (no shell) with their processor time, and
// the report lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// A data store in a fresh temporary directory (removed at destruction, unless
// the environment variable BENCH_KEEP_STORE is set: then its path is printed,
// for profiling the engine on the same corpus), with the default
// configuration file.
class Store {
 public:
  Store();
  ~Store();
  const std::string& root() const { return root_; }
  std::string path(const std::string& rel) const { return root_ + "/" + rel; }
  void write(const std::string& rel, const std::string& content) const;

 private:
  std::string root_;
};

// splitmix64: small, fast and the same everywhere, so corpora are repeatable.
struct Rng {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
  }
  double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }  // [0, 1)
  int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
  size_t below(size_t n) { return static_cast<size_t>(next() % n); }
};

// Wall time of a run, and the processor time (user + system) of the
// processes it started: on a shared machine the second says more about the
// work done than the first. Negative when a command failed.
struct Timing {
  double wall = -1;
  double cpu = -1;
};

// Commands run one after the other and timed together (a reference tool over
// a large corpus takes several processes).
using Commands = std::vector<std::vector<std::string>>;

// `head` followed by `args`, at most `per_command` arguments a command.
Commands chunked(const std::vector<std::string>& head, const std::vector<std::string>& args,
                 size_t per_command);

// Runs argv[0] (found on PATH) with argv from `cwd`, standard input, output
// and error on /dev/null (standard output into `out` when given); returns the
// wall time in seconds, negative on failure to start or a non-zero exit.
double timed_run(const std::vector<std::string>& argv, const std::string& cwd,
                 std::string* out = nullptr);

Timing time_once(const Commands& commands, const std::string& cwd);

// The best of `repeats` runs (least wall time, with that run's processor time).
Timing best(int repeats, const Commands& commands, const std::string& cwd);

// A group of commands timed together, run from `cwd`.
struct Timed {
  Commands commands;
  std::string cwd;
};

// Runs the groups in turns, `rounds` times, and gives the best run of each
// (least wall time): on a shared machine a burst of load elsewhere touches all
// of them alike. The first group (the reference tool) runs before each of
// the others, whose order turns by one each round, so every engine's run
// starts from the same state (the corpus just read). `after`, when given,
// runs untimed at the end of each round (to leave the engine's own bases in
// place after a baseline engine's run). Two runs of one binary this way still
// differ by up to 10 % on this shared machine.
std::vector<Timing> in_turns(int rounds, const std::vector<Timed>& groups, const Timed* after = nullptr);

// "label  W s wall  C s cpu", and the ratios to `reference` when given.
void show(const std::string& label, const Timing& t, const Timing* reference = nullptr,
          const std::string& reference_label = "");

// One line of a target: "  target  what  value unit (at most limit unit)
// met" or "... MISSED" (at least, with `at_least`). Returns whether it is met.
bool target(const std::string& what, double value, double limit, const std::string& unit, bool at_least = false);

// The machine's load averages (1, 5 and 15 minutes) and its core count, as
// one line: on a shared machine every figure is read against them.
void show_load(const std::string& when);

// Processor time of the calling thread, in seconds.
double thread_cpu();

size_t file_size(const std::string& path);

std::string engine_binary();

// An engine built without the ranked part (say, from the commit before it
// was wired into the indexation), named by the environment variable
// BENCH_BASELINE_ENGINE; empty when unset. The benchmarks then time it too,
// in turn with the others, so the ranked part's cost shows as a difference.
std::string baseline_engine();

}  // namespace bench
