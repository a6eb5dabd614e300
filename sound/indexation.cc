#include "sound/indexation.h"

#include <memory>
#include <string>
#include <vector>

#include "common/listing.h"
#include "common/parallel.h"
#include "common/paths.h"
#include "sound/base.h"
#include "sound/base_commit.h"
#include "sound/base_list.h"
#include "sound/config.h"
#include "sound/describe.h"
#include "sound/messages.h"
#include "sound/ranking/describe.h"
#include "sound/ranking/landmarks.h"
#include "sound/ranking/ranked_file.h"
#include "sound/sound_file.h"
#include "store/commit.h"

namespace sound {

namespace {

// Base text held at once: sounds are described in parallel in batches of at
// most this many bytes of rows (by their sizes' ceiling), then written in
// listing order. A sound whose rows alone could pass it is written row by
// row as it is read.
constexpr uint64_t kBatchBytes = uint64_t{64} << 20;
// The ranked file, committed with the two bases.
constexpr const char kRankedName[] = "classement_son.idx";

// Rows gathered before each write when a sound is written as it is read.
constexpr size_t kFlushBytes = size_t{1} << 20;

// Fewest bytes of the identifier line and of the list line of one sound.
constexpr uint64_t kIdLineFloor = sizeof("<id> 0 </id>\n") - 1;
constexpr uint64_t kListLineFloor = sizeof("<id> 0 </id><fichier>  </fichier>\n") - 1;

// Rows as base text, in memory.
class RowText : public RowSink {
 public:
  explicit RowText(std::string& out) : out_(out) {}
  void row(const int32_t* counts, size_t cols) override { append_row(out_, counts, cols); }

 private:
  std::string& out_;
};

// Rows as base text, written into the staged base as they come.
class StreamedRows : public RowSink {
 public:
  explicit StreamedRows(BaseCommit& commit) : commit_(commit) {}
  void row(const int32_t* counts, size_t cols) override {
    append_row(buffer_, counts, cols);
    if (buffer_.size() >= kFlushBytes) flush();
  }
  store::Status flush() {
    if (status_.ok() && !buffer_.empty()) status_ = commit_.Append(buffer_);
    buffer_.clear();
    return status_;
  }

 private:
  BaseCommit& commit_;
  std::string buffer_;
  store::Status status_;
};

// The descriptor rows of one corpus sound, made ahead of its identifier,
// and its fingerprint for the ranked search.
struct Described {
  bool read = false;
  std::string rows;
  Fingerprint fingerprint;
};

// An indexation under way: the listing, the staged base, the list and the
// lines to print once both bases are in place.
class Indexer {
 public:
  Indexer(output::Sink& sink, const Params& params, const listing::Result& listed,
          BaseCommit& commit)
      : sink_(sink),
        params_(params),
        bounds_(params.nbintervalles),
        names_(listed.names),
        corpus_(listed.directory.get()),
        commit_(commit) {}

  // Writes every listed sound; the first failure to write (or to read a
  // sound already partly written) ends it.
  store::Status run(const std::vector<uint64_t>& ceilings) {
    store::Status s;
    size_t i = 0;
    while (s.ok() && i < names_.size()) {
      if (ceilings[i] > kBatchBytes) {
        s = stream(i++);
        continue;
      }
      size_t end = i;
      uint64_t bytes = 0;
      while (end < names_.size() && ceilings[end] <= kBatchBytes - bytes) bytes += ceilings[end++];
      s = batch(i, end);
      i = end;
    }
    return s;
  }

  const SoundList& list() const { return list_; }
  const std::string& lines() const { return lines_; }
  // The ranked search's entries of the sounds indexed, in identifier order.
  const std::vector<sound_ranking::IndexedSound>& ranked() const { return ranked_; }

 private:
  // Sounds [begin, end): described in parallel, written in order.
  store::Status batch(size_t begin, size_t end) {
    std::vector<Described> described(end - begin);
    parallel::for_each_index(described.size(), [&](size_t k) {
      described[k].read = setDescriptor(*corpus_, bounds_, params_.echantillons, names_[begin + k],
                                        described[k].rows, &described[k].fingerprint)
                              .ok();
      sink_.progress().Advance(described[k].fingerprint.samples * 8);
    });
    store::Status s;
    for (size_t k = 0; s.ok() && k < described.size(); ++k) {
      const std::string& name = names_[begin + k];
      if (already_listed(name)) continue;
      if (!described[k].read) {
        refuse(name);
        continue;
      }
      std::string id_line;
      const int id = list_.addListeBaseSon(name);
      append_id_line(id_line, id);
      s = commit_.Append(id_line);
      if (s.ok()) s = commit_.Append(described[k].rows);
      described[k].rows = std::string();
      keep(id, name, std::move(described[k].fingerprint));
      announce(name);
    }
    return s;
  }

  // Sound i alone, its rows written as they are made.
  store::Status stream(size_t i) {
    const std::string& name = names_[i];
    if (already_listed(name)) return store::Status();
    std::unique_ptr<store::SequentialFile> file;
    if (!corpus_->NewSequentialFile(name, &file).ok()) {
      refuse(name);
      return store::Status();
    }
    std::string id_line;
    const int id = list_.addListeBaseSon(name);
    append_id_line(id_line, id);
    store::Status s = commit_.Append(id_line);
    if (!s.ok()) return s;
    StreamedRows rows(commit_);
    // A read error now leaves a partial descriptor staged: the new base is
    // given up and the old one stays.
    sound_ranking::SampleCollector samples;
    s = describe_file(*file, bounds_, params_.echantillons, rows, &samples);
    const store::Status written = rows.flush();
    if (!s.ok()) return s;
    if (!written.ok()) return written;
    keep(id, name, fingerprint_of(samples.take()));
    sink_.progress().Advance(file->size());
    announce(name);
    return store::Status();
  }

  bool already_listed(const std::string& name) {
    if (!list_.read_desc(name)) return false;
    lines_ += messages::kIndexedHead;
    lines_ += sink_.shown(name);
    lines_ += messages::kAlreadyIndexedTail;
    return true;
  }

  // Listed as readable a moment ago: it changed under us. Same refusal.
  void refuse(const std::string& name) {
    sink_.report(output::printable(paths::kSoundCorpus + name) +
                 std::string(messages::kCorpusEntryUnreadable));
  }

  void keep(int id, const std::string& name, Fingerprint fingerprint) {
    ranked_.push_back({id, name, fingerprint.samples, std::move(fingerprint.landmarks), std::move(fingerprint.envelope)});
  }

  void announce(const std::string& name) {
    lines_ += messages::kIndexedHead;
    lines_ += sink_.shown(name);
    lines_ += messages::kIndexedTail;
  }

  output::Sink& sink_;
  const Params& params_;
  const Bounds bounds_;
  const std::vector<std::string>& names_;
  store::Directory* corpus_;
  BaseCommit& commit_;
  SoundList list_;
  std::string lines_;
  std::vector<sound_ranking::IndexedSound> ranked_;
};

// "path : cause", the path as the store's layout names it (relative to the
// working directory), as every message shows paths.
std::string layout_form(const store::Store& store, const store::Status& s) {
  std::string path = s.path();
  const std::string root = store.path("");
  if (!store.workdir().empty() && path.rfind(root, 0) == 0) path.erase(0, root.size());
  return path + " : " + s.cause();
}

}  // namespace

Fingerprint fingerprint_of(std::vector<float> samples) {
  Fingerprint f;
  f.samples = samples.size();
  sound_ranking::SoundPrint print = sound_ranking::describe(samples);
  f.landmarks = std::move(print.landmarks);
  f.envelope = std::move(print.envelope);
  return f;
}

store::Status setDescriptor(store::Directory& corpus, const Bounds& bounds, int32_t echantillons,
                            const std::string& name, std::string& rows, Fingerprint* fingerprint) {
  std::unique_ptr<store::SequentialFile> file;
  store::Status s = corpus.NewSequentialFile(name, &file);
  RowText text(rows);
  sound_ranking::SampleCollector samples;
  if (s.ok()) s = describe_file(*file, bounds, echantillons, text, fingerprint ? &samples : nullptr);
  if (s.ok() && fingerprint != nullptr) *fingerprint = fingerprint_of(samples.take());
  return s;
}

int indexFiles(const store::Store& store, output::Sink& sink) {
  Params params;
  init_valuesw(store, sink, params);
  std::string header;
  append_header(header, params);

  const listing::Result listed =
      listing::list_corpus(store, paths::kSoundCorpus, {".bin", true}, sink);
  // The plan, from each sound's size: a sure floor of what both bases will
  // take (checked against the free space before anything is written), and
  // a ceiling of each sound's rows (for the batches).
  const size_t cols = static_cast<size_t>(params.nbintervalles) + 1;
  std::vector<uint64_t> ceilings(listed.names.size());
  uint64_t floor = header.size();
  uint64_t planned_bytes = 0;
  for (size_t i = 0; i < listed.names.size(); ++i) {
    store::FileInfo info;
    if (!listed.directory->Stat(listed.names[i], store::Follow::kLinks, &info).ok()) info.size = 0;
    planned_bytes += info.size;
    const uint64_t rows = rows_of_file(info.size, params.echantillons);
    const uint64_t least = rows_text_floor(rows, cols) + kIdLineFloor + kListLineFloor +
                           listed.names[i].size();
    floor = least < UINT64_MAX - floor ? floor + least : UINT64_MAX;
    ceilings[i] = rows_text_ceiling(rows, cols, static_cast<uint64_t>(params.echantillons));
  }

  const std::string dir_path = store.path(paths::kSoundBaseDir);
  std::unique_ptr<store::Directory> dir;
  store::Status s = store.env().OpenDirectory(dir_path, &dir);
  if (s.ok()) s = store::CheckFreeSpace(store.env(), dir_path, floor);
  std::string lines;
  if (s.ok()) {
    BaseCommit commit(dir.get());
    s = commit.Start();
    if (s.ok()) s = commit.Append(header);
    Indexer indexer(sink, params, listed, commit);
    sink.progress().Start("son", listed.names.size(), planned_bytes);
    if (s.ok()) s = indexer.run(ceilings);
    sink.progress().Finish();
    if (s.ok()) s = commit.commit().Stage(kRankedName, sound_ranking::build_ranked_file(indexer.ranked()));
    if (s.ok()) s = commit.Finish(indexer.list().text());
    lines = indexer.lines();
  }
  if (!s.ok()) {
    sink.report(std::string(messages::kBaseNotWritten) + output::printable(layout_form(store, s)));
    return 1;
  }
  sink.out(lines);
  return 0;
}

int resetAndIndex(const store::Store& store, output::Sink& sink) {
  store::FileInfo info;
  const store::Status s =
      store.env().Stat(store.path(paths::kSoundBaseDir), store::Follow::kLinks, &info);
  if (!s.ok() || info.type != store::FileInfo::Type::kDirectory) {
    sink.report(std::string(messages::kBaseDirectoryMissing) + paths::kSoundBaseDir);
    return 1;
  }
  return indexFiles(store, sink);
}

}  // namespace sound
