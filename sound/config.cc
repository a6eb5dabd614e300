#include "sound/config.h"

#include <cstdio>

#include "common/fileio.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/tokens.h"

namespace sound {

namespace {

// Takes `value` for `key` when it is in range; otherwise the field keeps its
// value and the refusal line is added to `messages`.
void take(std::string_view key, std::string_view value_token, int64_t value, bool ok,
          int32_t& field, std::string& messages) {
  if (ok) {
    field = static_cast<int32_t>(value);
    return;
  }
  messages += "Parametre ";
  messages += key;
  messages += " incorrect pour l'indexation son : ";
  messages += value_token;
  messages += " ignoré !\n";
}

}  // namespace

std::string scan_config(std::string_view text, Params& params) {
  static constexpr std::string_view kSamplesKey = "echantillons:";
  static constexpr std::string_view kIntervalsKey = "nbintervalles:";
  std::string messages;
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
      take(kSamplesKey, token, v, valid_samples(v), params.echantillons, messages);
    }
    if (token == kIntervalsKey) {
      token = value_after(kIntervalsKey);
      const int64_t v = numbers::leading_long(token);
      take(kIntervalsKey, token, v, valid_intervals(v), params.nbintervalles, messages);
    }
  }
  return messages;
}

void init_valuesw(Params& params) {
  std::string text;
  if (!fileio::read_file(paths::kConfig, text)) {
    std::fputs("Problème avec le fichier de configuration, valeurs par défaut utilisées. \n",
               stdout);
    return;
  }
  const std::string messages = scan_config(text, params);
  std::fwrite(messages.data(), 1, messages.size(), stdout);
}

}  // namespace sound
