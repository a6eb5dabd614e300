#include "sound/report.h"

#include <cstdio>

#include "sound/messages.h"

namespace sound {

namespace {

// "%f" in the C locale whatever the process's (no locale is ever set).
std::string seconds(double value) {
  const int size = std::snprintf(nullptr, 0, "%f", value);
  std::string text(static_cast<size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%f", value);
  text.pop_back();
  return text;
}

}  // namespace

std::string format_report(const Slide& s, size_t query_rows, std::string_view name, float step) {
  std::string out;
  if (!s.detected) return out;
  const double w = step;
  for (size_t p = 0; p < s.scores.size(); ++p) {
    if (s.scores[p] <= s.best - kJump) continue;
    out += messages::kFoundHead;
    out += name;
    out += messages::kFoundMiddle;
    out += seconds(static_cast<double>(p) * w);
    out += messages::kFoundTail;
  }
  // The best offset is held as a float before the products are formed.
  const double best = static_cast<float>(s.best_offset);
  out += messages::kSpanHead;
  out += name;
  out += messages::kSpanMiddle;
  out += seconds(best * w);
  out += messages::kSpanBetween;
  out += seconds((best + static_cast<double>(query_rows)) * w);
  out += messages::kSpanTail;
  return out;
}

}  // namespace sound
