// The image side's own messages, printed on standard output.
#pragma once

#include <string>
#include <string_view>

namespace image {

inline constexpr std::string_view kMsgOuvertureFichier = "\n\nErreur Fatale a l'ouverture du fichier \n";
inline constexpr std::string_view kMsgIndexationFinie = "\nIndexation image effectuee avec succès !\n\n";
inline constexpr std::string_view kMsgAucuneImage = "Aucune image du même type dans la base.\n";

inline std::string msgOuvertureImpossible(std::string_view path) {
  return "\nOuverture de l'image:" + std::string(path) + " impossible !\n";
}
inline std::string msgTypeInconnu(std::string_view path) {
  return "\nType de l'image:" + std::string(path) + " inconnu !\n";
}
inline std::string msgErreurLecture(std::string_view path) {
  return "\nErreur de lecture ou de quantification sur l'image:" + std::string(path) + "\n";
}

}  // namespace image
