// A sound file's window histograms on arbitrary bytes, fed whole and in
// pieces (the two must agree), with E and n from the first input bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sound/bounds.h"
#include "sound/describe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int32_t e = 1 + data[0] % 64;
  const int n = 1 + data[1] % 48;
  const size_t piece = 1 + data[2] % 13;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 3), size - 3);
  const sound::Bounds bounds(n);
  const sound::Matrix whole = sound::describe(bytes, e, bounds);
  sound::MatrixRows rows(n);
  sound::Describer pieces(e, bounds, rows);
  for (size_t at = 0; at < bytes.size(); at += piece) pieces.feed(bytes.substr(at, piece));
  pieces.finish();
  const sound::Matrix parts = rows.take();
  if (parts.rows != whole.rows || parts.cells != whole.cells) __builtin_trap();
  return 0;
}
