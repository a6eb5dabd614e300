#include "common/progress.h"

#include <cstdio>

#include "common/output.h"

namespace output {

namespace {

std::string Format(const char* format, double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

}  // namespace

void TerminalProgress::Start(std::string_view label, uint64_t items, uint64_t bytes) {
  const std::lock_guard<std::mutex> lock(mu_);
  label_ = std::string(label);
  items_ = items;
  bytes_ = bytes;
  done_items_ = 0;
  done_bytes_ = 0;
  start_ = Clock::now();
  drawn_ = Clock::time_point();
}

void TerminalProgress::Advance(uint64_t bytes) {
  done_items_ += 1;
  done_bytes_ += bytes;
  Draw(false);
}

void TerminalProgress::Draw(bool force) {
  const std::lock_guard<std::mutex> lock(mu_);
  const Clock::time_point now = Clock::now();
  if (!force && now - drawn_ < std::chrono::milliseconds(100)) return;
  drawn_ = now;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const uint64_t items = done_items_, bytes = done_bytes_;
  std::string line = "\r" + label_ + " : " + std::to_string(items) + "/" + std::to_string(items_);
  if (seconds > 0.05) {
    const double rate = static_cast<double>(bytes) / seconds;
    line += ", " + Format("%.1f", rate / 1e6) + " Mo/s";
    if (rate > 0 && bytes_ > bytes) line += ", reste " + Format("%.0f", static_cast<double>(bytes_ - bytes) / rate) + " s";
  }
  line += "\x1b[K";  // clears what a longer line left
  sink_.err(line);
}

void TerminalProgress::Finish() {
  const std::lock_guard<std::mutex> lock(mu_);
  const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
  const double rate = seconds > 0 ? static_cast<double>(done_bytes_) / seconds : 0;
  sink_.err("\r" + label_ + " : " + std::to_string(done_items_.load()) + " fichiers en " +
            Format("%.1f", seconds) + " s (" + Format("%.1f", rate / 1e6) + " Mo/s)\x1b[K\n");
}

}  // namespace output
