#include "text/ranking/digest.h"

#include <xxhash.h>

#include <memory>
#include <stdexcept>

namespace textrank {

Digest digest_of(std::string_view bytes) {
  const XXH128_hash_t h = XXH3_128bits(bytes.data(), bytes.size());
  return {h.low64, h.high64};
}

uint64_t checksum_of(std::span<const std::string_view> pieces) {
  if (pieces.size() == 1) return XXH3_64bits(pieces[0].data(), pieces[0].size());
  const std::unique_ptr<XXH3_state_t, XXH_errorcode (*)(XXH3_state_t*)> state(XXH3_createState(), XXH3_freeState);
  if (!state || XXH3_64bits_reset(state.get()) != XXH_OK) throw std::bad_alloc();
  for (const std::string_view p : pieces) XXH3_64bits_update(state.get(), p.data(), p.size());
  return XXH3_64bits_digest(state.get());
}

}  // namespace textrank
