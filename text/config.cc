#include "text/config.h"

#include "common/config.h"
#include "common/numbers.h"

namespace text {

int64_t recupParamConfigTexte(std::string_view config) {
  const std::optional<std::string_view> value = config::ValueAfter(config, "txt_nboccurrences:");
  return value ? numbers::leading_long(*value) : kDefaultThreshold;
}

bool readThreshold(const store::Store& store, int64_t* threshold) {
  const std::optional<std::string> text = config::Read(store);
  *threshold = text ? recupParamConfigTexte(*text) : kDefaultThreshold;
  return text.has_value();
}

}  // namespace text
