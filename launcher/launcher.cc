#include "launcher/launcher.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/atomic_write.h"
#include "common/fileio.h"
#include "image/image.h"
#include "keyword/keyword.h"
#include "sound/sound.h"
#include "text/text.h"

namespace launcher {

const char kUsageLine[] =
    "usage: engine indexation | engine comparaison texte|son|image CHEMIN | engine recherche MOT\n";

const std::string_view kDefaultConfig =
    "<txt>\n"
    "txt_nboccurrences: 3\n"
    "</txt>\n"
    "\n"
    "<sound>\n"
    "echantillons: 2048\n"
    "nbintervalles: 40\n"
    "</sound>\n"
    "\n"
    "<image>\n"
    "NbBit_NB: 4\n"
    "NbBit_RGB: 3\n"
    "</image>";

Request parse_request(int argc, const char* const* argv) {
  Request r;
  if (argc < 2) return r;
  const std::string_view word = argv[1];
  if (word == "indexation") {
    r.kind = Kind::kIndexation;
  } else if (word == "comparaison" && argc >= 4) {
    const std::string_view medium = argv[2];
    if (medium == "texte") {
      r.kind = Kind::kCompareText;
    } else if (medium == "son") {
      r.kind = Kind::kCompareSound;
    } else if (medium == "image") {
      r.kind = Kind::kCompareImage;
    } else {
      return r;
    }
    r.argument = argv[3];
  } else if (word == "recherche" && argc >= 3) {
    r.kind = Kind::kSearch;
    r.argument = argv[2];
  }
  return r;
}

bool ensure_config(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 || errno != ENOENT) return true;
  std::string error;
  if (!atomic_write::replace_files({{path, std::string(kDefaultConfig)}}, error)) {
    fileio::report("impossible de créer le fichier de configuration " + fileio::printable(error));
    return false;
  }
  std::fputs("Fichier de config inexistant. Création du fichier avec des valeurs par défaut.\n",
             stdout);
  return true;
}

int run(const Request& request) {
  switch (request.kind) {
    case Kind::kIndexation: {
      const int t = text::rmThenStartIndexation();
      const int i = image::indexImage();
      const int s = sound::resetAndIndex();
      return std::max({t, i, s});
    }
    case Kind::kCompareText:
      return text::indexFileToCompare(request.argument);
    case Kind::kCompareSound:
      return sound::compare(request.argument);
    case Kind::kCompareImage:
      return image::searchImage(request.argument);
    case Kind::kSearch:
      return keyword::byword(request.argument);
    case Kind::kUsage:
      break;
  }
  std::fputs(kUsageLine, stderr);
  return 2;
}

}  // namespace launcher
