// The sound ranked file reader on arbitrary bytes: a file it accepts must
// answer every lookup and a whole ranking without reading out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sound/ranking/rank.h"
#include "sound/ranking/ranked_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string why;
  const std::optional<sound_ranking::RankedFile> f = sound_ranking::RankedFile::parse(bytes, why);
  if (!f) {
    if (why.empty()) __builtin_trap();
    return 0;
  }
  std::vector<sound_ranking::Posting> postings;
  std::vector<uint32_t> hashes;
  for (uint32_t h = 0; h < 4096; h += 7) {
    hashes.push_back(h * 16411u);
    const size_t before = postings.size();
    f->lookup(hashes.back(), postings);
    if (postings.size() - before > f->bucket_size(hashes.back())) __builtin_trap();
  }
  for (const sound_ranking::Posting& p : postings)
    if (p.sound >= f->sound_count() || p.frame >= f->sound(p.sound).frames) __builtin_trap();
  // The same hashes at once: the same postings.
  std::vector<sound_ranking::Posting> all;
  std::vector<size_t> ends;
  f->lookup(hashes, all, ends);
  if (all.size() != postings.size() || ends.size() != hashes.size()) __builtin_trap();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i].sound != postings[i].sound || all[i].frame != postings[i].frame) __builtin_trap();
  // A short chirp as the query.
  std::vector<float> q(8000);
  for (size_t i = 0; i < q.size(); ++i) q[i] = static_cast<float>((i * i / 97) % 200) / 200.0f - 0.5f;
  const ranking::Ranking r = sound_ranking::rank(*f, q);
  if (r.confidence < 0 || r.confidence > 1) __builtin_trap();
  return 0;
}
