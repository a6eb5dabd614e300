// The advance of a long request (an indexation), told by the drivers and
// drawn by the command line on a terminal. Nothing is drawn when standard
// error is not a terminal, so a front-end's bytes never change.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace output {

class Sink;

class Progress {
 public:
  virtual ~Progress() = default;
  // A new stage: `label` (a medium), how many items and bytes it will go
  // through.
  virtual void Start(std::string_view label, uint64_t items, uint64_t bytes) = 0;
  // One more item of `bytes` done. Safe from several threads.
  virtual void Advance(uint64_t bytes) = 0;
  // The stage is over.
  virtual void Finish() = 0;
};

// Tells nothing.
class NoProgress : public Progress {
 public:
  void Start(std::string_view, uint64_t, uint64_t) override {}
  void Advance(uint64_t) override {}
  void Finish() override {}
};

// One line on a terminal, redrawn in place at most ten times a second:
//   "texte : 120/560, 12.3 Mo/s, reste 4 s"
// then a summary line per stage:
//   "texte : 560 fichiers en 2.3 s (45.2 Mo/s)"
class TerminalProgress : public Progress {
 public:
  explicit TerminalProgress(Sink& sink) : sink_(sink) {}
  void Start(std::string_view label, uint64_t items, uint64_t bytes) override;
  void Advance(uint64_t bytes) override;
  void Finish() override;

 private:
  using Clock = std::chrono::steady_clock;
  void Draw(bool force);

  Sink& sink_;
  std::mutex mu_;
  std::string label_;
  uint64_t items_ = 0;
  uint64_t bytes_ = 0;
  std::atomic<uint64_t> done_items_{0};
  std::atomic<uint64_t> done_bytes_{0};
  Clock::time_point start_;
  Clock::time_point drawn_;
};

}  // namespace output
