// Every string wordprobe prints, byte for byte.
#pragma once

#include <string_view>

namespace wordprobe::messages {

// Standard output: before each matching line's index, the index's prefix,
// and the last line when the word was never met.
inline constexpr std::string_view kMatch = "************ \n";
inline constexpr std::string_view kLineIndex = "l'id est : ";
inline constexpr std::string_view kNotFound = "mot not found \n";

// Standard error ("wordprobe: " in front): the scratch file could not be
// written (+ its path and the cause).
inline constexpr std::string_view kCannotWrite = "impossible d'écrire ";
// Memory ran out (exit status 1).
inline constexpr std::string_view kOutOfMemory = "mémoire insuffisante : sondage abandonné";

// `wordprobe --help`.
inline constexpr std::string_view kHelp =
    "wordprobe : cherche le mot « milliards » dans la base des descripteurs de textes\n"
    "\n"
    "Usage : wordprobe [--root DOSSIER]\n"
    "\n"
    "Lit RACINE/EXTERN_FILES/database/base_texte/base_descripteur_texte.txt, affiche son\n"
    "nombre de lignes puis, pour chaque ligne qui contient le mot, l'indice de la ligne\n"
    "(« l'id est », compté depuis 0 : c'est un numéro de ligne, pas l'identifiant d'un\n"
    "document) et le nombre d'occurrences qui suit le mot.\n"
    "\n"
    "  --root DOSSIER  la racine du magasin (par défaut celle fixée à la compilation)\n"
    "  --help, -h      cette aide\n"
    "  --version       la version\n";
inline constexpr std::string_view kUsage = "usage: wordprobe [--root DOSSIER] | --help | --version\n";

}  // namespace wordprobe::messages
