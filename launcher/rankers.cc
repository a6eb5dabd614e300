#include "launcher/rankers.h"

#include "image/ranking/ranker.h"
#include "sound/ranking/ranker.h"
#include "text/ranking/ranker.h"

namespace launcher {

const ranking::Ranker* RankerFor(const std::string& medium) {
  static const textrank::Ranker text;
  static const image_ranking::Ranker image;
  static const sound_ranking::Ranker sound;
  if (medium == "texte") return &text;
  if (medium == "image") return &image;
  if (medium == "son") return &sound;
  return nullptr;
}

}  // namespace launcher
