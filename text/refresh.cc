// "indexation", text side: the scratch space is made again, every document of
// the corpus listing is registered (identifiers from 1, in listing order) and
// described, and the text list, descriptor base and inverted index replace the
// previous ones together.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_write.h"
#include "common/fileio.h"
#include "common/listing.h"
#include "common/parallel.h"
#include "common/paths.h"
#include "text/extraction.h"
#include "text/index_table.h"
#include "text/scratch.h"
#include "text/text.h"
#include "text/text_config.h"

namespace text {

namespace {

const char kClosing[] = "tous les documents xml ont bien été indexés !\n";

struct Described {
  std::string record;
  std::vector<std::string> problems;  // our own diagnostics, reported in order
};

// Reads corpus file `name` through the corpus directory's descriptor (no path
// walk per document). False when it cannot be opened or read.
bool readDocument(int corpus, const std::string& name, std::string& out) {
  out.clear();
  const int fd = ::openat(corpus, name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  // One byte more than the size, so a file read whole needs no second call.
  size_t want = ok ? static_cast<size_t>(st.st_size) + 1 : 0;
  while (ok) {
    const size_t have = out.size();
    out.resize(have + want);
    const ssize_t n = ::read(fd, out.data() + have, want);
    if (n < 0 && errno == EINTR) {
      out.resize(have);
      continue;
    }
    ok = n >= 0;
    out.resize(have + (n > 0 ? static_cast<size_t>(n) : 0));
    if (n <= 0 || static_cast<size_t>(n) < want) break;
    want = 1 << 16;
  }
  ::close(fd);
  if (!ok) out.clear();
  return ok;
}

std::string registrationLine(size_t id, const std::string& name) {
  return "<id> " + std::to_string(id) + " </id> <filename> " + name + " </filename>\n";
}

int startIndexation(bool scratch_ready) {
  int64_t threshold = kDefaultThreshold;
  const bool config_read = readThreshold(&threshold);

  const listing::Result corpus = listing::list_corpus(paths::kTextCorpus, {});
  const std::vector<std::string>& names = corpus.names;

  // Documents are described independently, on every core; results land in
  // their listing slot so the bases never depend on the thread count.
  std::vector<Described> described(names.size());
  const int corpus_dir = ::open(paths::kTextCorpus, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const scratch::Writer writer;
  const bool write_scratch = scratch_ready && writer.ready();
  parallel::for_each_index(names.size(), [&](size_t i) {
    Described& d = described[i];
    std::string bytes;
    if (!readDocument(corpus_dir, names[i], bytes))
      d.problems.push_back("fichier illisible, décrit vide : " +
                           fileio::printable(std::string(paths::kTextCorpus) + names[i]));
    Description description = indexFile(bytes, static_cast<int64_t>(i + 1), threshold);
    if (write_scratch) writer.write(names[i], bytes, description.pure, d.problems);
    d.record = std::move(description.record);
  });

  if (corpus_dir >= 0) ::close(corpus_dir);
  if (write_scratch) scratch::prune(names);

  std::string list, base;
  for (size_t i = 0; i < names.size(); ++i) {
    for (const std::string& p : described[i].problems) fileio::report(p);
    if (!config_read) std::fputs(kConfigProblem, stderr);
    list += registrationLine(i + 1, names[i]);
    base += described[i].record;
    std::string().swap(described[i].record);
  }
  std::string index = createTableIndexTexte(base);

  std::vector<atomic_write::File> files(3);
  files[0] = {paths::kTextList, std::move(list)};
  files[1] = {paths::kTextDescriptors, std::move(base)};
  files[2] = {paths::kTextIndex, std::move(index)};
  std::string error;
  const bool written = atomic_write::replace_files(files, error);
  if (!written) fileio::report("base de textes non écrite : " + fileio::printable(error));
  std::fputs(kClosing, stdout);
  return written ? 0 : 1;
}

}  // namespace

int rmThenStartIndexation() {
  std::error_code ec;
  if (!std::filesystem::is_directory(paths::kTextBaseDir, ec)) {
    // Nothing could be stored: leave the scratch space and the store as they
    // are rather than wipe them for a refresh that cannot be written.
    fileio::report("répertoire de la base de textes introuvable : " +
                   fileio::printable(paths::kTextBaseDir));
    std::fputs(kClosing, stdout);
    return 1;
  }
  const bool scratch_ready = scratch::rebuild();
  return startIndexation(scratch_ready);
}

}  // namespace text
