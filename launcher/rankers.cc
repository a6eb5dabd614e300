#include "launcher/rankers.h"

#include "image/ranking/ranker.h"
#include "text/ranking/ranker.h"

namespace launcher {

const ranking::Ranker* RankerFor(const std::string& medium) {
  static const textrank::Ranker text;
  static const image_ranking::Ranker image;
  if (medium == "texte") return &text;
  if (medium == "image") return &image;
  return nullptr;
}

}  // namespace launcher
