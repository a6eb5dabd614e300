#include "keyword/document.h"

#include <cstdio>
#include <cstring>

#include "common/fileio.h"
#include "common/paths.h"
#include "common/tokens.h"
#include "keyword/editor.h"
#include "keyword/keyword.h"

namespace keyword {

namespace {

const char kPrompt[] = "pour ouvrir le fichier taper: 1 || pour passer au suivant: 0 \n";

// Asks until the answer is 1 or 0. Each answer is the next byte of standard
// input that is not white space, so the end of line of an earlier answer is
// passed over. The end of input counts as 0.
bool wants_to_open() {
  for (;;) {
    std::fputs(kPrompt, stdout);
    std::fflush(stdout);  // the prompt must be seen before we wait
    int c;
    do {
      c = std::getchar();
    } while (c != EOF && tokens::is_space(static_cast<unsigned char>(c)));
    if (c == EOF || c == '0') return false;
    if (c == '1') return true;
  }
}

void put(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

}  // namespace

void load_text_list(LoadedList& list) {
  list.readable = fileio::read_file(paths::kTextList, list.bytes);
  list.names = read_text_list(list.bytes);
}

void show_document(int id, const LoadedList& list) {
  if (!list.readable) {
    std::fputs("error in openning file \n", stdout);
    return;
  }
  const std::string id_text = tostring(id);
  const auto entry = list.names.find(id_text);
  if (entry == list.names.end()) {
    put("document d'id " + id_text + " absent de la liste des textes\n");
    return;
  }
  const std::string_view name = entry->second;
  put("\n");
  put(name);
  put("\n");
  if (!wants_to_open()) return;

  const std::string path = std::string(paths::kTextCorpus) + std::string(name);
  const int error = start_in_background("gedit", path);
  if (error != 0) {
    fileio::report("impossible de lancer l'éditeur gedit sur " + fileio::printable(path) +
                   " : " + std::strerror(error));
  }
}

void appelerDesId(int id) {
  LoadedList list;
  load_text_list(list);
  show_document(id, list);
}

}  // namespace keyword
