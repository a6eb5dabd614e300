#include "sound/sound_file.h"

namespace sound {

namespace {

// Small enough to stay in the core's cache between read and count.
constexpr size_t kChunk = 256 * 1024;

}  // namespace

store::Status describe_file(store::SequentialFile& file, const Bounds& bounds,
                            int32_t echantillons, RowSink& rows, sound_ranking::SampleCollector* samples) {
  Describer describer(echantillons, bounds, rows);
  if (samples != nullptr) samples->reserve(file.size());
  const std::unique_ptr<char[]> buffer(new char[kChunk]);
  for (;;) {
    size_t got = 0;
    store::Status s = file.Read(kChunk, buffer.get(), &got);
    if (!s.ok()) return s;
    if (got == 0) break;
    describer.feed(std::string_view(buffer.get(), got));
    if (samples != nullptr) samples->feed(std::string_view(buffer.get(), got));
  }
  describer.finish();
  return store::Status();
}

store::Status getMatriceFromFile(store::SequentialFile& file, const Bounds& bounds,
                                 int32_t echantillons, MatrixRows& rows) {
  rows.reserve(rows_of_file(file.size(), echantillons));
  return describe_file(file, bounds, echantillons, rows);
}

}  // namespace sound
