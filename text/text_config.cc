#include "text/text_config.h"

#include <string>

#include "common/fileio.h"
#include "common/paths.h"
#include "text/extraction.h"

namespace text {

bool readThreshold(int64_t* threshold) {
  std::string config;
  if (!fileio::read_file(paths::kConfig, config)) {
    *threshold = kDefaultThreshold;
    return false;
  }
  *threshold = recupParamConfigTexte(config);
  return true;
}

}  // namespace text
