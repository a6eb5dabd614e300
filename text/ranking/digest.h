// Digests of bytes: a 128-bit one per document, to know an unchanged
// document again, and a 64-bit checksum of the ranked index's body, to trust
// a previous index before reusing any of it. Both XXH3.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace textrank {

struct Digest {
  uint64_t low = 0;
  uint64_t high = 0;
  friend bool operator==(const Digest&, const Digest&) = default;
};

Digest digest_of(std::string_view bytes);

// The checksum of the pieces' bytes one after the other, as if they were one
// string.
uint64_t checksum_of(std::span<const std::string_view> pieces);

}  // namespace textrank
