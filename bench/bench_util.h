// Shared pieces of the benchmark programs: a temporary data store, timed runs
// of a command (no shell), and the report lines.
#pragma once

#include <string>
#include <vector>

namespace bench {

// A data store in a fresh temporary directory (removed at destruction), with
// the default configuration file.
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

// Runs argv[0] with argv from `cwd`, standard output and error to /dev/null
// unless `out` is given; returns the wall time in seconds (negative on
// failure to start or a non-zero exit).
double timed_run(const std::vector<std::string>& argv, const std::string& cwd,
                 std::string* out = nullptr);

// Best of `repeats` timed runs.
double best_of(int repeats, const std::vector<std::string>& argv, const std::string& cwd);

// Prints "label: X.XXX s" and, when reference > 0, the ratio to it.
void report(const std::string& label, double seconds, double reference = 0,
            const std::string& reference_label = "");

std::string engine_binary();

}  // namespace bench
