#include "sound/sound_file.h"

#include "sound/describe.h"

namespace sound {

namespace {

// Small enough to stay in the core's cache between read and count.
constexpr size_t kChunk = 256 * 1024;

}  // namespace

store::Status describe_file(store::SequentialFile& file, const Bounds& bounds,
                            int32_t echantillons, Matrix& out) {
  Describer describer(echantillons, bounds);
  describer.reserve(file.size());
  const std::unique_ptr<char[]> buffer(new char[kChunk]);
  for (;;) {
    size_t got = 0;
    store::Status s = file.Read(kChunk, buffer.get(), &got);
    if (!s.ok()) return s;
    if (got == 0) break;
    describer.feed(std::string_view(buffer.get(), got));
  }
  out = describer.finish();
  return store::Status();
}

store::Status getMatriceFromFile(store::Env& env, const std::string& path, const Bounds& bounds,
                                 int32_t echantillons, Matrix& out) {
  std::unique_ptr<store::SequentialFile> file;
  store::Status s = env.NewSequentialFile(path, &file);
  if (!s.ok()) return s;
  return describe_file(*file, bounds, echantillons, out);
}

}  // namespace sound
