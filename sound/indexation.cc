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
#include "sound/messages.h"
#include "sound/sound_file.h"

namespace sound {

namespace {

// The descriptor rows of one corpus sound, made ahead of its identifier.
struct Described {
  bool read = false;
  std::string rows;
};

std::string indexed_line(const std::string& name) {
  std::string line(messages::kIndexedHead);
  line += name;
  line += messages::kIndexedTail;
  return line;
}

}  // namespace

store::Status setDescriptor(store::Directory& corpus, const Bounds& bounds, int32_t echantillons,
                            const std::string& name, std::string& rows) {
  std::unique_ptr<store::SequentialFile> file;
  store::Status s = corpus.NewSequentialFile(name, &file);
  Matrix m;
  if (s.ok()) s = describe_file(*file, bounds, echantillons, m);
  if (s.ok()) append_rows(rows, m);
  return s;
}

int indexFiles(const store::Store& store, output::Sink& sink) {
  Params params;
  init_valuesw(store, sink, params);
  const Bounds bounds(params.nbintervalles);
  std::string descriptors;
  append_header(descriptors, params);

  const listing::Result listed =
      listing::list_corpus(store, paths::kSoundCorpus, {".bin", true}, sink);
  const std::vector<std::string>& names = listed.names;
  // Sounds are described in parallel; identifiers, bases and messages follow
  // the listing order whatever the thread count.
  std::vector<Described> described(names.size());
  parallel::for_each_index(names.size(), [&](size_t i) {
    described[i].read =
        setDescriptor(*listed.directory, bounds, params.echantillons, names[i], described[i].rows)
            .ok();
  });

  SoundList list;
  std::string lines;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    if (list.read_desc(name)) {
      lines += messages::kIndexedHead;
      lines += name;
      lines += messages::kAlreadyIndexedTail;
    } else if (!described[i].read) {
      // Listed as readable a moment ago: it changed under us. Same refusal.
      sink.report(output::printable(paths::kSoundCorpus + name) +
                  std::string(messages::kCorpusEntryUnreadable));
    } else {
      append_id_line(descriptors, list.addListeBaseSon(name));
      descriptors += described[i].rows;
      lines += indexed_line(name);
    }
    described[i].rows = std::string();
  }

  std::unique_ptr<store::Directory> dir;
  store::Status s = store.env().OpenDirectory(store.path(paths::kSoundBaseDir), &dir);
  if (s.ok()) {
    BaseCommit commit(dir.get());
    s = commit.Start();
    if (s.ok()) s = commit.Append(descriptors);
    if (s.ok()) s = commit.Finish(list.text());
  }
  if (!s.ok()) {
    sink.report(std::string(messages::kBaseNotWritten) + output::printable(s.ToString()));
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
