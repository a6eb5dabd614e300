#include "web/media.h"

#include <optional>
#include <vector>

#include "common/paths.h"
#include "common/utf8.h"
#include "image/image_file.h"
#include "web/lists.h"
#include "web/png.h"
#include "web/wav.h"

namespace web {

namespace {

// Corpus files larger than this are not served.
constexpr uint64_t kMaxItemBytes = 1ull << 30;

// The registration of `id` in the list at `list_path`, or the reply that
// says why there is none.
struct Found {
  std::optional<Reply> failure;
  std::string name;
  std::string kind;
};

Found Find(const store::Store& store, const char* list_path, const std::string& id, const char* what) {
  Found found;
  std::string list;
  if (!store.env().ReadFile(store.path(list_path), &list).ok()) {
    found.failure = ErrorReply(503, std::string("liste des ") + what +
                                        " illisible : lancez d'abord l'indexation");
    return found;
  }
  const std::optional<ListEntry> entry = FindEntry(list, id);
  if (!entry) {
    found.failure = ErrorReply(404, std::string("identifiant ") + id + " absent de la liste des " + what);
    return found;
  }
  if (!SafeName(entry->name)) {
    found.failure = ErrorReply(500, std::string("nom de fichier inutilisable dans la liste des ") + what);
    return found;
  }
  found.name = std::string(entry->name);
  found.kind = std::string(entry->kind);
  return found;
}

std::optional<Reply> ReadItem(const store::Store& store, const std::string& dir, const std::string& name,
                              std::string* bytes) {
  const store::Status s = store.env().ReadFile(store.path(dir + name), bytes, kMaxItemBytes);
  if (s.ok()) return std::nullopt;
  return ErrorReply(500, "fichier " + name + " illisible : " + s.cause());
}

}  // namespace

bool RenderImage(std::string_view file_bytes, std::string* png, std::string* why) {
  const image::ImageLue read = image::lireImage(file_bytes, "");
  if (read.outcome != image::ImageLue::Outcome::kRead) {
    *why = read.outcome == image::ImageLue::Outcome::kUnknownKind
               ? "nombre de composantes inconnu"
               : std::string(image::readFaultMessage(read.fault));
    return false;
  }
  bool ok;
  if (read.kind == image::kKindNB) {
    ok = EncodePng(static_cast<uint32_t>(read.nb.nbColonne), static_cast<uint32_t>(read.nb.nbLigne), 1,
                   read.nb.matrice, png);
  } else {
    const image::ImgRGB& img = read.rgb;
    std::vector<uint8_t> pixels(img.matriceR.size() * 3);
    for (size_t i = 0; i < img.matriceR.size(); ++i) {
      pixels[3 * i] = img.matriceR[i];
      pixels[3 * i + 1] = img.matriceG[i];
      pixels[3 * i + 2] = img.matriceB[i];
    }
    ok = EncodePng(static_cast<uint32_t>(img.nbColonne), static_cast<uint32_t>(img.nbLigne), 3, pixels, png);
  }
  if (!ok) *why = "encodage PNG impossible";
  return ok;
}

Reply ImageItem(const store::Store& store, const std::string& id) {
  const Found found = Find(store, paths::kImageList, id, "images");
  if (found.failure) return *found.failure;
  const char* dir;
  if (found.kind == "RGB") {
    dir = paths::kRgbCorpus;
  } else if (found.kind == "NB") {
    dir = paths::kNbCorpus;
  } else {
    return ErrorReply(500, "type d'image inconnu dans la liste des images");
  }
  std::string bytes;
  if (auto failure = ReadItem(store, dir, found.name, &bytes)) return *failure;
  Reply reply{200, "image/png", ""};
  std::string why;
  if (!RenderImage(bytes, &reply.body, &why)) return ErrorReply(500, "image " + found.name + " illisible : " + why);
  return reply;
}

Reply SoundItem(const store::Store& store, const std::string& id) {
  const Found found = Find(store, paths::kSoundList, id, "sons");
  if (found.failure) return *found.failure;
  std::string bytes;
  if (auto failure = ReadItem(store, paths::kSoundCorpus, found.name, &bytes)) return *failure;
  Reply reply{200, "audio/wav", ""};
  if (!RawToWav(bytes, &reply.body)) return ErrorReply(500, "son " + found.name + " trop long");
  return reply;
}

Reply TextItem(const store::Store& store, const std::string& id) {
  const Found found = Find(store, paths::kTextList, id, "textes");
  if (found.failure) return *found.failure;
  std::string bytes;
  if (auto failure = ReadItem(store, paths::kTextCorpus, found.name, &bytes)) return *failure;
  return Reply{200, "text/plain; charset=utf-8", utf8::as_utf8(bytes)};
}

}  // namespace web
