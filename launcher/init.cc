#include "launcher/init.h"

#include <vector>

#include "common/config.h"
#include "store/store.h"

namespace launcher {

namespace {

// The store's directories, parents first, relative to its root.
const char* const kDirectories[] = {
    "EXTERN_FILES",
    "EXTERN_FILES/base_files",
    "EXTERN_FILES/base_files/DATA_VELMORANE_DEV",
    "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes",
    "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_RGB",
    "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_NB",
    "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_SON",
    "EXTERN_FILES/database",
    "EXTERN_FILES/database/base_texte",
    "EXTERN_FILES/database/base_image",
    "EXTERN_FILES/database/base_son",
    "INDEXATION",
    "INDEXATION/temp_txt",
    "work",
};

bool Exists(store::Env& env, const std::string& path) {
  store::FileInfo info;
  return env.Stat(path, store::Follow::kLinks, &info).ok();
}

// Makes `path` and its missing parents; appends the ones made to `made`.
store::Status MakeAll(store::Env& env, const std::string& path, std::vector<std::string>* made) {
  for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string prefix = path.substr(0, end);
    if (!prefix.empty() && !Exists(env, prefix)) {
      store::Status s = env.MakeDirectory(prefix);
      if (!s.ok()) return s;
      made->push_back(prefix + "/");
    }
    if (end == std::string::npos) return store::Status();
  }
}

}  // namespace

int Init(store::Env& env, output::Sink& sink, const std::string& dir) {
  std::string root = dir;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  std::vector<std::string> made;
  store::Status s = MakeAll(env, root, &made);
  for (size_t i = 0; s.ok() && i < std::size(kDirectories); ++i) {
    const std::string path = root + "/" + kDirectories[i];
    if (Exists(env, path)) continue;
    s = env.MakeDirectory(path);
    if (s.ok()) made.push_back(path + "/");
  }
  if (s.ok()) {
    const store::Store store(&env, root + "/work");
    const std::string config = root + "/EXTERN_FILES/configuration.config";
    const bool had_config = Exists(env, config);
    output::StringSink quiet;  // the creation message of a request is not init's
    if (!config::Ensure(store, quiet)) {
      sink.err(quiet.err_text());
      return 1;
    }
    if (!had_config) made.push_back(config);
  }
  if (!s.ok()) {
    sink.report("init : impossible de créer le magasin " + output::printable(root) + " : " +
                output::printable(s.path()) + " : " + s.cause());
    return 1;
  }
  const std::string shown = sink.shown(root);
  std::string out;
  if (made.empty()) {
    out = "Rien à créer : " + shown + " est déjà un magasin complet.\n";
  } else {
    out = "Magasin créé dans " + shown + " :\n";
    for (const std::string& p : made) out += "  " + sink.shown(p) + "\n";
  }
  out += "\nÀ faire ensuite :\n"
         "  1. copiez vos fichiers dans " + shown + "/EXTERN_FILES/base_files/DATA_VELMORANE_DEV/\n"
         "     (Textes/ ; TEST_RGB/ et TEST_NB/ pour les images .txt ; TEST_SON/ pour les sons .bin)\n"
         "  2. engine -C " + shown + "/work indexation\n"
         "  3. engine -C " + shown + "/work classement texte VOTRE_FICHIER\n";
  sink.out(out);
  return 0;
}

}  // namespace launcher
