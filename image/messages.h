// Every French string of the image side, so that the exact bytes the
// requests print can be checked in one place. Lines for standard output
// carry their own line feeds; reports (standard error) are the text after
// "engine: ", without a line feed.
#pragma once

#include <string>
#include <string_view>

namespace image {

// ---- standard output ----------------------------------------------------

inline constexpr std::string_view kMsgOuvertureFichier = "\n\nErreur Fatale a l'ouverture du fichier \n";
inline constexpr std::string_view kMsgIndexationFinie = "\nIndexation image effectuee avec succès !\n\n";
inline constexpr std::string_view kMsgAucuneImage = "Aucune image du même type dans la base.\n";
inline constexpr std::string_view kMsgBitsNB =
    "\nParametre de bits Nb incorrecte pour l'indexation image NB ! \n";
inline constexpr std::string_view kMsgBitsRGB =
    "\nParametre de bits Nb incorrecte pour l'indexation image RGB ! \n";

// The image reader's faults (no line feed after them).
inline constexpr std::string_view kMsgPasAssezDeValeurs = "\nErreur fatale : Pas assez de valeurs dans l'image";
inline constexpr std::string_view kMsgValeurIncorrecte = "\nErreur fatale : Valeur incorrecte dans l'image";

// `path` and `name` below are given as they are to be shown.
inline std::string msgOuvertureImpossible(std::string_view path) {
  return "\nOuverture de l'image:" + std::string(path) + " impossible !\n";
}
inline std::string msgTypeInconnu(std::string_view path) {
  return "\nType de l'image:" + std::string(path) + " inconnu !\n";
}
inline std::string msgErreurLecture(std::string_view path) {
  return "\nErreur de lecture ou de quantification sur l'image:" + std::string(path) + "\n";
}
inline std::string msgRequete(std::string_view path) { return "Requête : " + std::string(path) + "\n"; }
inline std::string msgResultat(std::string_view name, long long id, int score) {
  return "Image " + std::string(name) + " (id " + std::to_string(id) + ") : " + std::to_string(score) +
         " % de ressemblance\n";
}
// A result whose identifier the image list does not name.
inline constexpr std::string_view kNomInconnu = "?";

// ---- diagnostic dumps (unrequested.h) -----------------------------------

inline constexpr std::string_view kDumpMatrice = "\n\nAffichage de la matrice :\n";
inline constexpr std::string_view kDumpMatriceR = "\n\nAffichage de la matrice R :\n";
inline constexpr std::string_view kDumpMatriceG = "\n\nAffichage de la matrice G :\n";
inline constexpr std::string_view kDumpMatriceB = "\n\nAffichage de la matrice B :\n";
inline constexpr std::string_view kDumpMatriceRVB = "\n\nAffichage de la matrice R, V, B :\n";
inline constexpr std::string_view kDumpFin = "\nFin Affichage matrice";
inline constexpr std::string_view kDumpColonnes = "nbColonne:";
inline constexpr std::string_view kDumpLignes = ", nbLigne:";
inline constexpr std::string_view kDumpRouge = "ROUGE\n\n";
inline constexpr std::string_view kDumpVert = "Vert\n\n";
inline constexpr std::string_view kDumpBleu = "bleue\n\n";
inline constexpr std::string_view kDumpEnc = "Enc\n\n";
// The file ecrireImage writes in the working directory.
inline constexpr const char kFichierEcrireImage[] = "ecrireimage";

// ---- reports on standard error ------------------------------------------

inline std::string rptBaseIntrouvable(std::string_view dir) {
  return "répertoire de la base d'images introuvable : " + std::string(dir) +
         " ; base d'images non construite";
}
inline std::string rptEcritureBase(std::string_view cause) {
  return "impossible d'écrire la base d'images : " + std::string(cause);
}
inline std::string rptPlaceInsuffisante(std::string_view cause) {
  return "place insuffisante pour la base d'images : " + std::string(cause);
}
inline std::string rptFichierIllisible(std::string_view path) {
  return std::string(path) + " : fichier illisible, ignoré";
}
inline std::string rptImageIllisible(std::string_view path) { return std::string(path) + " : image illisible"; }
inline std::string rptBaseIllisible(std::string_view path) {
  return "base d'images illisible : " + std::string(path);
}
inline std::string rptBaseAbsente(std::string_view path) {
  return "pas de base d'images (" + std::string(path) + " absent) : lancer d'abord « engine indexation »";
}
inline std::string rptEnteteInvalide(std::string_view path) {
  return "base d'images illisible : " + std::string(path) + " (en-tête sans nombres de bits valides)";
}
inline std::string rptPasDePixel(std::string_view name) {
  return "image " + std::string(name) + " : moins de 2 lignes ou 2 colonnes, pas de pixel (1, 1) à afficher";
}
inline std::string rptEcritureImpossible(std::string_view cause) {
  return "impossible d'écrire " + std::string(cause);
}

}  // namespace image
