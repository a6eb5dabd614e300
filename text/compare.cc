// "comparaison texte PATH": the query is described as a document would be
// (identifier -1, in the temporary descriptor), then every record of the
// descriptor base is scored by the query words found in its words, and the
// documents sharing two words or more are listed, last-registered first.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/fileio.h"
#include "common/paths.h"
#include "keyword/keyword.h"
#include "text/comparison.h"
#include "text/extraction.h"
#include "text/scratch.h"
#include "text/text.h"
#include "text/text_config.h"

namespace text {

namespace {

const char kBaseProblem[] = "ERREUR :  PB avec fonction empiler descripteurs\n";
const char kQueryProblem[] = "ERREUR :  PB avec fonction compareFiles\n";
const char kQueryWriteProblem[] = "ERREUR :  PB avec fonction searchOccurencesAndInsertBD2\n";

void removeQueryDescriptor() {
  if (::unlink(paths::kTextQueryDescriptor) != 0 && errno != ENOENT)
    fileio::report("impossible de supprimer " + fileio::printable(paths::kTextQueryDescriptor) + " : " +
                   std::strerror(errno));
}

bool writeQueryDescriptor(const std::string& record) {
  std::FILE* f = std::fopen(paths::kTextQueryDescriptor, "w");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(record.data(), 1, record.size(), f) == record.size();
  return std::fclose(f) == 0 && ok;
}

// Pushes the records of the descriptor base file; false, after its message,
// when the file cannot be read.
bool empilerDescripteurs(PILE_TAVREN* pile) {
  std::string base;
  if (!fileio::read_file(paths::kTextDescriptors, base)) {
    std::fputs(kBaseProblem, stderr);
    return false;
  }
  empilerDescripteurs(base, pile);
  return true;
}

// Scores the base against the temporary descriptor, prints the report and
// removes the temporary descriptor.
int compareFiles() {
  std::string query;
  const bool query_read = fileio::read_file(paths::kTextQueryDescriptor, query);
  const std::vector<std::string_view> words = queryWords(query);

  PILE_TAVREN pile;
  INIT_PILE_TAVREN(&pile);
  // Counting pass, then scoring pass, each over its own read of the base.
  bool base_read = empilerDescripteurs(&pile);
  size_t records = 0;
  while (!PILE_TAVREN_EST_VIDE(&pile)) {
    DEPILE_TAVREN(&pile);
    ++records;
  }
  std::vector<Score> scores;
  scores.reserve(records);
  base_read = empilerDescripteurs(&pile) && base_read;
  while (!PILE_TAVREN_EST_VIDE(&pile)) {
    const std::optional<std::string> record = DEPILE_TAVREN(&pile);
    if (!query_read) {
      std::fputs(kQueryProblem, stderr);
      continue;
    }
    scores.push_back(scoreRecord(*record, words));
  }

  std::string report;
  for (const Score& s : scores)
    if (s.shared != 0 && s.shared != 1) report += reportLine(s);
  std::fwrite(report.data(), 1, report.size(), stdout);

  removeQueryDescriptor();
  return base_read && query_read ? 0 : 1;
}

}  // namespace

int indexFileToCompare(const std::string& path) {
  const std::string_view name = bareName(path);
  if (name.empty()) {
    fileio::report("chemin de requête sans nom de fichier : \"" + fileio::printable(path) + "\"");
    removeQueryDescriptor();
    return 1;
  }
  std::string bytes;
  if (!fileio::read_file(path, bytes)) {
    fileio::report("fichier de requête illisible : " + fileio::printable(path));
    removeQueryDescriptor();
    return 1;
  }

  int64_t threshold = kDefaultThreshold;
  const bool config_read = readThreshold(&threshold);
  const Description description = indexFile(bytes, -1, threshold);

  // The query's copy and pure text go where a document's would; they only
  // serve inspection, so a failure there is reported and the comparison goes on.
  if (scratch::ensure()) {
    std::vector<std::string> problems;
    scratch::Writer().write(name, bytes, description.pure, problems);
    for (const std::string& p : problems) fileio::report(p);
  }
  if (!config_read) std::fputs(kConfigProblem, stderr);
  if (!writeQueryDescriptor(description.record)) std::fputs(kQueryWriteProblem, stderr);
  return compareFiles();
}

void sort(int* counts, int* ids, int n) {
  if (n <= 0) return;
  keyword::tricroissant(counts, ids, n);
  for (int i = n - 1; i >= 0; --i) keyword::appelerDesId(ids[i]);
}

}  // namespace text
