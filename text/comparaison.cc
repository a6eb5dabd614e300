// "comparaison texte PATH": the query is described as a document would be
// (identifier -1, in the temporary descriptor), then every record of the
// descriptor base is scored by the query words found in its words, and the
// documents sharing two words or more are listed, last-registered first.
#include "text/comparaison.h"

#include <memory>
#include <string>
#include <vector>

#include "common/paths.h"
#include "text/base.h"
#include "text/config.h"
#include "text/describe.h"
#include "text/messages.h"
#include "text/problem.h"
#include "text/score.h"
#include "text/scratch.h"

namespace text {

namespace {

constexpr const char kQueryDescriptorName[] = "descripteur_temporaire.txt";

// The base directory, which holds the temporary descriptor; null when it
// cannot be opened.
std::unique_ptr<store::Directory> openBaseDirectory(const store::Store& store) {
  std::unique_ptr<store::Directory> dir;
  if (!store.env().OpenDirectory(store.path(paths::kTextBaseDir), &dir).ok()) dir.reset();
  return dir;
}

void removeQueryDescriptor(output::Sink& sink, store::Directory* dir) {
  if (dir == nullptr) return;
  const store::Status s = dir->Remove(kQueryDescriptorName);
  if (!s.ok()) sink.report(problem(messages::kCannotRemove, paths::kTextQueryDescriptor, s));
}

// Scores the base against the temporary descriptor, prints the report and
// removes the temporary descriptor.
int compareFiles(const store::Store& store, output::Sink& sink, store::Directory* dir) {
  std::string query;
  const bool query_read = dir != nullptr && dir->ReadFile(kQueryDescriptorName, &query).ok();
  const std::vector<std::string_view> words = queryWords(query);

  // The base is gone over twice, counting then scoring, and each pass says
  // when it cannot be read.
  std::string base;
  const bool base_read = store.env().ReadFile(store.path(paths::kTextDescriptors), &base).ok();
  if (!base_read) {
    sink.err(messages::kBaseProblem);
    sink.err(messages::kBaseProblem);
  }
  std::vector<Score> scores;
  if (query_read) {
    scores = scoreBase(base, words);
  } else {
    for (size_t n = scoreBase(base, {}).size(); n > 0; --n) sink.err(messages::kQueryProblem);
  }
  sink.out(report(scores));

  removeQueryDescriptor(sink, dir);
  return base_read && query_read ? 0 : 1;
}

}  // namespace

int indexFileToCompare(const store::Store& store, output::Sink& sink, const std::string& path) {
  std::unique_ptr<store::Directory> dir = openBaseDirectory(store);
  const std::string_view name = scratch::bareName(path);
  if (name.empty()) {
    sink.report(std::string(messages::kQueryWithoutName) + output::printable(path) + "\"");
    removeQueryDescriptor(sink, dir.get());
    return 1;
  }
  std::string bytes;
  if (!store.env().ReadFile(store.path(path), &bytes).ok()) {
    sink.report(std::string(messages::kQueryUnreadable) + output::printable(path));
    removeQueryDescriptor(sink, dir.get());
    return 1;
  }

  int64_t threshold = kDefaultThreshold;
  const bool config_read = readThreshold(store, &threshold);
  const Description description = indexFile(bytes, threshold);

  // The query's copy and pure text go where a document's would; they only
  // serve inspection, so a failure there is reported and the comparison goes on.
  scratch::Space space;
  scratch::ensure(store, sink, &space);
  if (space.ready()) {
    std::vector<std::string> problems;
    scratch::write(space, name, bytes, description.pure, 0644, problems);
    for (const std::string& p : problems) sink.report(p);
  }
  if (!config_read) sink.err(messages::kConfigProblem);
  const std::string record = descriptorRecord(-1, description.words);
  if (dir == nullptr || !dir->WriteFile(kQueryDescriptorName, record).ok())
    sink.err(messages::kQueryWriteProblem);
  return compareFiles(store, sink, dir.get());
}

}  // namespace text
