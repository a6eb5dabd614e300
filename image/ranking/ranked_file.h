// The ranked image base, database/base_image/classement_image.idx: every
// indexed image's signature in one binary little-endian file, read in place
// (the reader takes a view over the whole, typically memory-mapped, file).
//
// Layout: the magic "CLASSIMG", u32 format version, u32 grey bits, u32 colour
// bits, u32 thumbnail side, u32 window scale count then (u32 per mille, u32
// positions) per scale, f64 histogram weight, thumbnail weight, layout-alone
// margin, match threshold and same-image threshold, u64 image count, u64
// offset of the thumbnail section. Then one 40-byte record per image, in
// listing order: i64 id, u32 kind (1 grey, 3 colour), u32 histogram bin
// count, u64 name offset, u64 name length, u64 histogram offset. Names are raw
// bytes; a histogram is (u32 bin, f32 root) pairs by increasing bin; the
// thumbnail section holds kThumbsPerImage thumbnails of kThumbCells i16 per
// image, in record order. Offsets are from the start of the file.
#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/le_bytes.h"
#include "image/image_file.h"
#include "image/ranking/histogram.h"
#include "image/ranking/signature.h"
#include "image/ranking/thumbnail.h"

namespace image_ranking {

inline constexpr uint32_t kFormatVersion = 1;

struct RankedEntry {
  int64_t id = 0;      // the legacy identifier
  std::string name;    // the bare file name, as listed
  Signature signature;  // described for Purpose::kIndex with the file's bits
};

// The whole file. Throws std::invalid_argument for a signature that is not an
// index signature of `bits`.
std::string build_ranked_file(const image::ParamBits& bits, const std::vector<RankedEntry>& entries);

class RankedFile {
 public:
  // Checks every size, offset, count and parameter against `bytes`, which
  // must outlive the result. Nothing, and a short reason in `error`, for
  // bytes that are not a consistent ranked file of this build's parameters.
  static std::optional<RankedFile> read(std::string_view bytes, std::string& error);

  const image::ParamBits& bits() const { return bits_; }
  size_t size() const { return count_; }

  int64_t id(size_t i) const;
  int kind(size_t i) const;
  std::string_view name(size_t i) const;
  std::vector<RootBin> histogram(size_t i) const;
  // Calls visit(bin, root) for each bin of image i's histogram, in order.
  template <typename Visit>
  void for_each_bin(size_t i, Visit visit) const;
  // Image i's kThumbsPerImage thumbnails, whole image first (cells are
  // clamped to [-255, 255], which any file this module wrote holds).
  void thumbs(size_t i, Thumb* out) const;

 private:
  RankedFile() = default;
  const char* record(size_t i) const;
  static uint32_t u32(const char* p) { return le::get32(p); }
  static uint64_t u64(const char* p) { return le::get64(p); }
  static float f32(const char* p) { return std::bit_cast<float>(u32(p)); }

  std::string_view bytes_;
  image::ParamBits bits_;
  size_t count_ = 0;
  size_t records_ = 0;  // offset of the first record
  size_t thumbs_ = 0;   // offset of the thumbnail section
};

template <typename Visit>
void RankedFile::for_each_bin(size_t i, Visit visit) const {
  const char* r = record(i);
  const uint32_t n = u32(r + 12);
  const char* p = bytes_.data() + u64(r + 32);
  for (uint32_t k = 0; k < n; ++k, p += 8) visit(u32(p), f32(p + 4));
}

}  // namespace image_ranking
