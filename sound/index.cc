// "indexation" for sounds: rebuilds the sound list and the descriptor base
// from the corpus listing, identifiers from 0 in listing order.
#include <cstdio>
#include <string>
#include <vector>

#include "common/fileio.h"
#include "common/listing.h"
#include "common/parallel.h"
#include "common/paths.h"
#include "sound/bounds.h"
#include "sound/config.h"
#include "sound/descriptor_format.h"
#include "sound/sound.h"
#include "sound/sound_file.h"
#include "sound/sound_list.h"
#include "sound/store.h"

namespace sound {

namespace {

// The descriptor rows of one corpus sound, made ahead of its identifier.
struct Described {
  bool read = false;
  std::string rows;
};

}  // namespace

bool setDescriptor(const Bounds& bounds, int32_t echantillons, const std::string& name,
                   std::string& rows) {
  Matrix m;
  if (!getMatriceFromFile(bounds, echantillons, paths::kSoundCorpus + name, m)) return false;
  append_rows(rows, m);
  return true;
}

int indexFiles() {
  Params params;
  init_valuesw(params);
  const Bounds bounds(params.nbintervalles);
  std::string descriptors;
  append_header(descriptors, params);

  const listing::Result listed = listing::list_corpus(paths::kSoundCorpus, {".bin", true});
  const std::vector<std::string>& names = listed.names;
  // Sounds are described in parallel; identifiers, bases and messages follow
  // the listing order whatever the thread count.
  std::vector<Described> described(names.size());
  parallel::for_each_index(names.size(), [&](size_t i) {
    described[i].read = setDescriptor(bounds, params.echantillons, names[i], described[i].rows);
  });

  SoundList list;
  std::string messages;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    if (list.read_desc(name)) {
      messages += "Le fichier " + name + " à dejà été indexé !\n";
    } else if (!described[i].read) {
      // Listed as readable a moment ago: it changed under us. Same refusal.
      fileio::report(fileio::printable(paths::kSoundCorpus + name) + " : fichier illisible, ignoré");
    } else {
      append_id_line(descriptors, list.addListeBaseSon(name));
      descriptors += described[i].rows;
      messages += "Le fichier " + name + " à été indexé !\n\n";
    }
    described[i].rows = std::string();
  }

  std::string error;
  if (!save_bases(descriptors, list.text(), error)) {
    fileio::report("base son non écrite : " + fileio::printable(error));
    return 1;
  }
  std::fwrite(messages.data(), 1, messages.size(), stdout);
  return 0;
}

int resetAndIndex() {
  if (!base_directory_exists()) {
    fileio::report(std::string("répertoire de la base son absent : ") + paths::kSoundBaseDir);
    return 1;
  }
  return indexFiles();
}

}  // namespace sound
