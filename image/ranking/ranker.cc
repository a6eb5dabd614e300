#include "image/ranking/ranker.h"

#include "common/paths.h"
#include "image/image_file.h"
#include "image/ranking/rank.h"
#include "image/ranking/ranked_file.h"
#include "image/ranking/signature.h"

namespace image_ranking {

const char* Ranker::ranked_file() const { return paths::kImageRanked; }

ranking::Ranker::Outcome Ranker::Rank(std::string_view ranked, std::string_view query,
                                      ranking::Ranking* ranking, std::string* why) const {
  std::string error;
  const std::optional<RankedFile> file = RankedFile::read(ranked, error);
  if (!file) {
    *why = error;
    return Outcome::kBadRankedFile;
  }
  const image::ImageLue img = image::lireImage(query, "");
  switch (img.outcome) {
    case image::ImageLue::Outcome::kRead:
      break;
    case image::ImageLue::Outcome::kUnknownKind:
      *why = "pas une image : le troisième nombre de l'en-tête doit valoir 1 (gris) ou 3 (couleur)";
      return Outcome::kBadQuery;
    case image::ImageLue::Outcome::kHeaderFault:
    case image::ImageLue::Outcome::kBodyFault:
      *why = img.fault == image::ReadFault::kMissingValues
                 ? "pas une image : pas assez de valeurs pour la taille annoncée"
                 : "pas une image : valeur incorrecte (entier de 0 à 255 attendu)";
      return Outcome::kBadQuery;
  }
  const std::optional<Signature> signature = describe(img, file->bits(), Purpose::kQuery);
  if (!signature) {
    *why = "image illisible";
    return Outcome::kBadQuery;
  }
  *ranking = rank(*file, *signature);
  return Outcome::kRanked;
}

}  // namespace image_ranking
