#include "sound/report.h"

#include <charconv>

#include "sound/messages.h"

namespace sound {

namespace {

// What "%f" prints in the C locale, whatever the process's locale.
std::string seconds(double value) {
  char text[512];  // room for any double with six decimals
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6).ptr;
  return std::string(text, end);
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
