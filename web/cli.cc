#include "web/cli.h"

#include <locale.h>
#include <stdlib.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "common/paths.h"
#include "store/store.h"
#include "web/server.h"

namespace web {

namespace {

const char kUsage[] = "usage: engine-web [-C DOSSIER] [--host ADRESSE] [--port PORT]\n";

const char kHelp[] =
    "engine-web : la page de recherche d'un magasin de données, et son API JSON.\n"
    "\n"
    "  -C DOSSIER       le dossier work/ du magasin (par défaut : le dossier courant)\n"
    "  --host ADRESSE   l'adresse d'écoute (par défaut : 127.0.0.1)\n"
    "  --port PORT      le port d'écoute (par défaut : 8080 ; 0 : un port libre)\n"
    "\n"
    "L'adresse servie est écrite sur une ligne ; Ctrl-C arrête le serveur.\n";

bool ParsePort(const std::string& text, int* port) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  *port = std::stoi(text);
  return *port <= 65535;
}

}  // namespace

int Main(const std::vector<std::string>& words, output::Sink& sink, const RankerLookup& rankers) {
  std::string workdir;
  ServerOptions options;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    const bool has_value = i + 1 < words.size();
    if (w == "--help" || w == "-h") {
      sink.out(kHelp);
      return 0;
    } else if (w == "-C" && has_value) {
      workdir = words[++i];
    } else if (w == "--host" && has_value) {
      options.host = words[++i];
    } else if (w == "--port" && has_value && ParsePort(words[i + 1], &options.port)) {
      ++i;
    } else {
      sink.err(kUsage);
      return 2;
    }
  }
  // The store is reached from its work/ folder, made absolute: the server
  // never changes its own working directory.
  char resolved[PATH_MAX];
  if (::realpath(workdir.empty() ? "." : workdir.c_str(), resolved) == nullptr) {
    sink.report("dossier introuvable : " + output::printable(workdir) + " : " + std::strerror(errno));
    return 1;
  }
  const std::string store_path = resolved;
  store::Env* env = store::Env::Default();
  store::FileInfo info;
  if (!env->Stat(store_path + "/" + paths::kExternRoot, store::Follow::kLinks, &info).ok() ||
      info.type != store::FileInfo::Type::kDirectory) {
    sink.report(
        "aucun magasin de données trouvé (../EXTERN_FILES absent) : lancez engine-web depuis le dossier work/ "
        "d'un magasin, ou avec -C DOSSIER");
    return 1;
  }

  // Corpus listings sort as `ls` does under the environment's LC_COLLATE.
  const locale_t collation = ::newlocale(LC_COLLATE_MASK, "", nullptr);
  const store::Store store(env, store_path, collation);
  const Service service(store, store_path, rankers);
  const int status = Serve(service, options, sink);
  if (collation != nullptr) ::freelocale(collation);
  return status;
}

}  // namespace web
