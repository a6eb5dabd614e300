#include "launcher/help.h"

#ifndef ENGINE_VERSION
#error "ENGINE_VERSION must be the project's version"
#endif

namespace launcher {

std::string HelpText() {
  return "engine : recherche dans un magasin de textes, d'images et de sons\n"
         "\n"
         "Usage : engine [-C DOSSIER] REQUÊTE [ARGUMENTS]\n"
         "\n"
         "Requêtes :\n"
         "  indexation                         reconstruit les bases texte, image et son\n"
         "  comparaison texte|image|son CHEMIN compare un fichier aux bases (rapport historique)\n"
         "  recherche MOT                      documents dont le descripteur contient MOT (mot exact,\n"
         "                                     casse comprise), chacun proposé à l'ouverture dans gedit\n"
         "  classement texte|image|son CHEMIN [--max N] [--json]\n"
         "                                     recherche classée, avec un verdict : la source de la\n"
         "                                     requête, ou aucune correspondance sûre\n"
         "  init DOSSIER                       crée un magasin vide dans DOSSIER (rien n'est écrasé)\n"
         "  --help, -h                         cette aide (n'importe où avant « -- »)\n"
         "  --version                          la version\n"
         "\n"
         "Options :\n"
         "  -C DOSSIER   avant la requête : s'exécute comme lancé dans DOSSIER\n"
         "  --max N      classement : nombre de résultats montrés (10 par défaut ; 0 : tous)\n"
         "  --json       classement : la réponse en un seul objet JSON\n"
         "  --           fin des options : un fichier nommé -h s'écrit « -- -h » ou « ./-h »\n"
         "  CHEMIN « - » classement : la requête est lue sur l'entrée standard (64 Mo au plus)\n"
         "\n"
         "Magasin de données :\n"
         "  engine se lance depuis le dossier work/ d'un magasin, à côté de ../EXTERN_FILES\n"
         "  (configuration, corpus et bases) et de ../INDEXATION (espace de travail du texte).\n"
         "  Les corpus sont dans ../EXTERN_FILES/base_files/DATA_VELMORANE_DEV/ :\n"
         "    Textes/    documents (UTF-8 ou ISO-8859-1, balises XML permises)\n"
         "    TEST_RGB/  images couleur (.txt : lignes colonnes 3, puis les plans R, V, B)\n"
         "    TEST_NB/   images en niveaux de gris (.txt : lignes colonnes 1, puis le plan)\n"
         "    TEST_SON/  sons (.bin : échantillons double précision à 16 kHz)\n"
         "\n"
         "Codes de sortie :\n"
         "  0  requête effectuée (« rien trouvé » et « aucune correspondance sûre » compris)\n"
         "  1  requête impossible : fichier illisible ou invalide, base absente (lancez d'abord\n"
         "     engine indexation), magasin introuvable\n"
         "  2  mauvaise utilisation : les mots ne forment aucune requête\n"
         "\n"
         "Exemple :\n"
         "  engine init ~/magasin\n"
         "  cp *.xml ~/magasin/EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes/\n"
         "  engine -C ~/magasin/work indexation\n"
         "  engine -C ~/magasin/work classement texte ~/extrait.txt\n"
         "  engine -C ~/magasin/work classement texte ~/extrait.txt --json --max 3\n";
}

std::string VersionText() { return std::string("engine ") + ENGINE_VERSION + "\n"; }

}  // namespace launcher
