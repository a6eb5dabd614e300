#include "sound/config.h"

#include "common/config.h"
#include "common/numbers.h"
#include "common/tokens.h"
#include "sound/messages.h"

namespace sound {

namespace {

// Takes `value` for `key` when it is in range; otherwise the field keeps its
// value and the refusal line is added to `lines`.
void take(std::string_view key, std::string_view value_token, int64_t value, bool ok,
          int32_t& field, std::string& lines) {
  if (ok) {
    field = static_cast<int32_t>(value);
    return;
  }
  lines += messages::kBadParameterHead;
  lines += key;
  lines += messages::kBadParameterMiddle;
  lines += value_token;
  lines += messages::kBadParameterTail;
}

}  // namespace

std::string scan_config(std::string_view text, Params& params) {
  static constexpr std::string_view kSamplesKey = "echantillons:";
  static constexpr std::string_view kIntervalsKey = "nbintervalles:";
  std::string lines;
  tokens::Reader reader(text);
  std::string_view token;
  // Reads the value after `key`; when none is left the key stands for it.
  auto value_after = [&](std::string_view key) {
    std::string_view value;
    if (!reader.next(value)) value = key;
    return value;
  };
  while (reader.next(token)) {
    if (token == kSamplesKey) {
      token = value_after(kSamplesKey);
      const int64_t v = numbers::leading_long(token);
      take(kSamplesKey, token, v, valid_samples(v), params.echantillons, lines);
    }
    if (token == kIntervalsKey) {
      token = value_after(kIntervalsKey);
      const int64_t v = numbers::leading_long(token);
      take(kIntervalsKey, token, v, valid_intervals(v), params.nbintervalles, lines);
    }
  }
  return lines;
}

void init_valuesw(const store::Store& store, output::Sink& sink, Params& params) {
  const std::optional<std::string> text = config::Read(store);
  if (!text) {
    sink.out(config::kUnreadable);
    return;
  }
  sink.out(scan_config(*text, params));
}

}  // namespace sound
