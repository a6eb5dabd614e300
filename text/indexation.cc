// "indexation", text side: the scratch space is made again, every document of
// the corpus listing is registered (identifiers from 1, in listing order) and
// described, and the text list, descriptor base and inverted index replace the
// previous ones together. The ranked index reuses, for every document
// unchanged since the previous one was written, the description it holds.
#include "text/indexation.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/listing.h"
#include "common/parallel.h"
#include "common/paths.h"
#include "store/commit.h"
#include "text/base.h"
#include "text/config.h"
#include "text/describe.h"
#include "text/index_table.h"
#include "text/messages.h"
#include "text/problem.h"
#include "text/ranking/describe.h"
#include "text/ranking/digest.h"
#include "text/ranking/previous_index.h"
#include "text/ranking/ranked_file_writer.h"
#include "text/scratch.h"

namespace text {

namespace {

constexpr const char kListName[] = "liste_base_texte.txt";
constexpr const char kDescriptorsName[] = "base_descripteur_texte.txt";
constexpr const char kIndexName[] = "table_index_texte.txt";
constexpr const char kRankedName[] = "classement_texte.idx";
// The ranked index's words are written in pieces of about this size.
constexpr size_t kWordsPiece = size_t{1} << 20;

struct Described {
  bool read = false;                  // false: refused, no identifier
  std::string words;                  // the descriptor's word list
  textrank::Description ranked;       // what the ranked search keeps of it
  textrank::Digest digest;            // of its bytes
  std::optional<uint64_t> kept;       // its number in the previous ranked index
  std::vector<std::string> problems;  // our own diagnostics, reported in order
};

// The line refusing a listed document that could not be read after all (it
// vanished, or something else than a regular file took its place), worded
// as the corpus listing words its own refusals.
std::string refusal(const std::string& name, const store::Status& s) {
  return output::printable(std::string(paths::kTextCorpus) + name) + " : " +
         std::string(s.code() == 0 ? messages::kDocumentNotRegular : messages::kDocumentUnreadable);
}

// Stages the ranked index: its head, then the documents' words straight from
// their descriptions, so the words (most of the file) are never copied into
// one buffer of the file's size.
store::Status stageRanked(store::Commit& commit, const std::string& head,
                          const std::vector<textrank::IndexedDocument>& documents) {
  store::WritableFile* file = nullptr;
  store::Status s = commit.Stage(kRankedName, &file);
  if (s.ok()) s = file->Append(head);
  std::string piece;
  for (size_t i = 0; s.ok() && i < documents.size(); ++i) {
    const std::string_view words = documents[i].words();
    if (piece.size() + words.size() > kWordsPiece && !piece.empty()) {
      s = file->Append(piece);
      piece.clear();
    }
    if (!s.ok()) break;
    if (words.size() >= kWordsPiece) {
      s = file->Append(words);
    } else {
      piece.append(words);
    }
  }
  if (s.ok() && !piece.empty()) s = file->Append(piece);
  return s;
}

// The ranked index the previous indexation wrote, when it can be trusted
// and was written the way this build writes one; nothing otherwise (a
// damaged or foreign file is never an error here, only not reused).
struct Previous {
  std::unique_ptr<store::MappedFile> file;
  std::optional<textrank::PreviousIndex> index;
};

void openPrevious(const store::Store& store, store::Directory* base_dir, Previous* previous) {
  // Only a plain file of ours, which the new one could be left as.
  store::FileInfo info;
  if (!base_dir->Stat(kRankedName, store::Follow::kNoLinks, &info).ok() ||
      info.type != store::FileInfo::Type::kRegular || info.links != 1)
    return;
  if (!store.env().MapFile(store.path(paths::kTextRanked), &previous->file).ok()) return;
  try {
    previous->index.emplace(textrank::PreviousIndex::open(previous->file->data()));
  } catch (const textrank::FileError&) {
  } catch (const std::bad_alloc&) {
  }
}

int startIndexation(const store::Store& store, output::Sink& sink, store::Directory* base_dir,
                    const scratch::Space& space) {
  int64_t threshold = kDefaultThreshold;
  const bool config_read = readThreshold(store, &threshold);

  const listing::Result corpus = listing::list_corpus(store, paths::kTextCorpus, {}, sink);
  const std::vector<std::string>& names = corpus.names;
  Previous previous;
  openPrevious(store, base_dir, &previous);

  // Documents are described independently, on every core; results land in
  // their listing slot so the bases never depend on the thread count. Inputs
  // are opened without blocking and must still be regular files.
  std::vector<Described> described(names.size());
  sink.progress().Start("texte", names.size(), 0);
  parallel::for_each_index(names.size(), [&](size_t i) {
    Described& d = described[i];
    std::string bytes;
    const store::Status s = corpus.directory->ReadFile(names[i], &bytes);
    if (!s.ok()) {
      d.problems.push_back(refusal(names[i], s));
      return;
    }
    d.read = true;
    // A document the previous ranked index holds with the same bytes is
    // not described again for it.
    d.digest = textrank::digest_of(bytes);
    if (previous.index) d.kept = previous.index->find(names[i], d.digest);
    if (!d.kept) {
      // One describer per thread: it stems each distinct word once.
      thread_local textrank::Describer describer;
      describer.describe(bytes, d.ranked);
    }
    sink.progress().Advance(bytes.size());
    Description description = indexFile(bytes, threshold);
    if (space.ready())
      scratch::write(space, names[i], bytes, description.pure, scratch::copyMode(*corpus.directory, names[i]),
                     d.problems);
    d.words = std::move(description.words);
  });

  sink.progress().Finish();
  if (space.ready()) {
    std::vector<std::string> kept;
    for (size_t i = 0; i < names.size(); ++i)
      if (described[i].read) kept.push_back(names[i]);
    scratch::prune(space, kept, sink);
  }

  // Identifiers go to the documents read, from 1 without gaps.
  std::string list, base;
  std::vector<textrank::IndexedDocument> ranked;
  // Documents the previous ranked index holds: their place in `ranked`
  // and in `described`.
  std::vector<std::pair<size_t, size_t>> kept;
  size_t id = 0;
  for (size_t i = 0; i < names.size(); ++i) {
    for (const std::string& p : described[i].problems) sink.report(p);
    if (!described[i].read) continue;
    if (!config_read) sink.err(messages::kConfigProblem);
    ++id;
    list += registrationLine(id, names[i]);
    base += descriptorRecord(static_cast<int64_t>(id), described[i].words);
    std::string().swap(described[i].words);
    ranked.push_back({static_cast<int64_t>(id), names[i], &described[i].ranked, described[i].digest});
    if (described[i].kept) kept.emplace_back(ranked.size() - 1, i);
  }
  // Every document as the previous ranked index has it, under the same
  // identifier: that index is the very file this one would write, and it
  // stays (consistent with the old bases and the new ones alike).
  bool ranked_unchanged =
      previous.index && kept.size() == ranked.size() && previous.index->documents() == ranked.size();
  for (size_t k = 0; ranked_unchanged && k < kept.size(); ++k) {
    const uint64_t at = *described[kept[k].second].kept;
    ranked_unchanged = at == kept[k].first && previous.index->document(at).id == ranked[kept[k].first].id;
  }
  if (!ranked_unchanged && !kept.empty()) {
    try {
      previous.index->invert();
      parallel::for_each_index(kept.size(), [&](size_t k) {
        Described& d = described[kept[k].second];
        previous.index->describe(*d.kept, d.ranked);
        ranked[kept[k].first].kept_words = previous.index->words(*d.kept);
      });
      previous.index->forget_inversion();
    } catch (const textrank::FileError&) {
      // The previous index changed under us: those documents are read and
      // described after all (one gone since is described as empty). The
      // digest stored is that of the bytes described, so a later indexation
      // never takes this description for other bytes.
      parallel::for_each_index(kept.size(), [&](size_t k) {
        std::string bytes;
        if (!corpus.directory->ReadFile(names[kept[k].second], &bytes).ok()) bytes.clear();
        thread_local textrank::Describer describer;
        describer.describe(bytes, described[kept[k].second].ranked);
        ranked[kept[k].first].digest = textrank::digest_of(bytes);
        ranked[kept[k].first].kept_words.reset();
      });
    }
  }
  // The ranked index is built while the inverted index is made and the
  // legacy files are staged; it is staged last, as before.
  std::string ranked_head;
  store::Commit commit(base_dir);
  store::Status s;
  parallel::for_each_index(2, [&](size_t job) {
    if (job == 0) {
      if (!ranked_unchanged) ranked_head = textrank::build_ranked_head(ranked);
      return;
    }
    const std::string index = createTableIndexTexte(base);
    s = commit.Stage(kListName, list);
    if (s.ok()) s = commit.Stage(kDescriptorsName, base);
    if (s.ok()) s = commit.Stage(kIndexName, index);
  });
  if (s.ok() && !ranked_unchanged) s = stageRanked(commit, ranked_head, ranked);
  if (s.ok()) s = commit.Finish();
  if (!s.ok()) {
    sink.report(problem(store, messages::kBaseNotWritten, s));
    return 1;
  }
  sink.out(messages::kClosing);
  return 0;
}

}  // namespace

int rmThenStartIndexation(const store::Store& store, output::Sink& sink) {
  std::unique_ptr<store::Directory> base_dir;
  if (!store.env().OpenDirectory(store.path(paths::kTextBaseDir), &base_dir).ok()) {
    // Nothing could be stored: leave the scratch space and the store as they
    // are rather than wipe them for a refresh that cannot be written.
    sink.report(std::string(messages::kNoBaseDirectory) + output::printable(paths::kTextBaseDir));
    return 1;
  }
  scratch::Space space;
  scratch::rebuild(store, sink, &space);
  return startIndexation(store, sink, base_dir.get(), space);
}

}  // namespace text
