#include "launcher/rankers.h"

#include "image/ranking/ranker.h"

namespace launcher {

const ranking::Ranker* RankerFor(const std::string& medium) {
  static const image_ranking::Ranker image;
  if (medium == "image") return &image;
  return nullptr;
}

}  // namespace launcher
