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

// The base directory, which holds the temporary descriptor; null, with the
// cause in `why`, when it cannot be opened.
std::unique_ptr<store::Directory> openBaseDirectory(const store::Store& store, store::Status* why) {
  std::unique_ptr<store::Directory> dir;
  *why = store.env().OpenDirectory(store.path(paths::kTextBaseDir), &dir);
  if (!why->ok()) dir.reset();
  return dir;
}

void removeQueryDescriptor(output::Sink& sink, store::Directory* dir) {
  if (dir == nullptr) return;
  const store::Status s = dir->Remove(kQueryDescriptorName);
  if (!s.ok()) sink.report(problem(messages::kCannotRemove, paths::kTextQueryDescriptor, s));
}

// Scores the base against the query's descriptor record, prints the report
// and removes the temporary descriptor. The record is the one held in
// memory: the temporary file is never read back, so whatever stands there
// (a descriptor left by an interrupted comparison, or nothing when it could
// not be written) never stands in for the query.
int compareFiles(const store::Store& store, output::Sink& sink, store::Directory* dir,
                 const std::string& record) {
  const std::vector<std::string_view> words = queryWords(record);

  // The base is gone over twice, counting then scoring, and each pass says
  // when it cannot be read.
  std::string base;
  const bool base_read = store.env().ReadFile(store.path(paths::kTextDescriptors), &base).ok();
  if (!base_read) {
    sink.err(messages::kBaseProblem);
    sink.err(messages::kBaseProblem);
  }
  sink.out(report(scoreBase(base, words)));

  removeQueryDescriptor(sink, dir);
  return base_read ? 0 : 1;
}

}  // namespace

int indexFileToCompare(const store::Store& store, output::Sink& sink, const std::string& path) {
  store::Status opened;
  std::unique_ptr<store::Directory> dir = openBaseDirectory(store, &opened);
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
    scratch::write(space, name, bytes, description.pure, scratch::copyMode(store.env(), store.path(path)),
                   problems);
    for (const std::string& p : problems) sink.report(p);
  }
  if (!config_read) sink.err(messages::kConfigProblem);
  const std::string record = descriptorRecord(-1, description.words);
  const store::Status written = dir == nullptr ? opened : dir->WriteFile(kQueryDescriptorName, record);
  if (!written.ok()) {
    sink.err(messages::kQueryWriteProblem);
    sink.report(problem(messages::kQueryDescriptorNotWritten, paths::kTextQueryDescriptor, written));
  }
  return compareFiles(store, sink, dir.get(), record);
}

}  // namespace text
