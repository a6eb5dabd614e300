#include "wordprobe/wordprobe.h"

#include <cerrno>
#include <memory>
#include <new>
#include <string>

#include "wordprobe/messages.h"
#include "wordprobe/probe.h"

namespace wordprobe {

namespace {

constexpr const char kBaseDir[] = "EXTERN_FILES/database/base_texte/";
constexpr const char kBaseName[] = "base_descripteur_texte.txt";
constexpr const char kScratchName[] = "temp.txt";

// A link or a file standing there is replaced, never written through; a
// directory is somebody's, and is left alone.
store::Status writeScratch(store::Directory& dir, const std::string& content) {
  store::FileInfo info;
  if (dir.Stat(kScratchName, store::Follow::kNoLinks, &info).ok() && info.type == store::FileInfo::Type::kDirectory)
    return store::Status::Error(dir.path() + kScratchName, EISDIR);
  store::WriteOptions options;
  options.mode = 0666;
  return dir.WriteFile(kScratchName, content, options);
}

int probeBase(const store::Store& store, output::Sink& sink) {
  std::unique_ptr<store::Directory> dir;
  std::string base;
  if (!store.env().OpenDirectory(store.path(kBaseDir), &dir).ok() || !dir->ReadFile(kBaseName, &base).ok())
    return 0;  // no base: nothing to say

  const ProbeRun probed = probe(base);
  // The scratch file keeps what the line-by-line extraction left in it; the
  // probe itself works from the base read above, so a failure here only
  // costs that file.
  const store::Status s = writeScratch(*dir, probed.scratch);
  if (!s.ok()) sink.report(std::string(messages::kCannotWrite) + output::printable(s.ToString()));
  sink.out(probed.out);
  return 0;
}

}  // namespace

int run(const store::Store& store, output::Sink& sink) {
  try {
    return probeBase(store, sink);
  } catch (const std::bad_alloc&) {
    // A base too large for the memory allowed: one line rather than an abort.
    sink.report(messages::kOutOfMemory);
    return 1;
  }
}

}  // namespace wordprobe
