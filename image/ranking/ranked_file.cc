#include "image/ranking/ranked_file.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "image/ranking/params.h"

namespace image_ranking {

namespace {

constexpr std::string_view kMagic = "CLASSIMG";
constexpr size_t kRecordSize = 40;
constexpr size_t kThumbBytes = kThumbCells * 2;
constexpr size_t kImageThumbBytes = kThumbsPerImage * kThumbBytes;
constexpr double kScoring[] = {kWeightHistogram, kWeightThumbnail, kLayoutAloneMargin, kMatchThreshold,
                               kSameImageThreshold};
constexpr size_t kHeaderSize = kMagic.size() + 5 * 4 + kWindowScales.size() * 8 + std::size(kScoring) * 8 + 2 * 8;

template <typename T>
void put(std::string& out, T v) {
  static_assert(std::is_integral_v<T>);
  le::append(out, static_cast<uint64_t>(v), sizeof(T));
}

void put_f64(std::string& out, double v) { put(out, std::bit_cast<uint64_t>(v)); }
void put_f32(std::string& out, float v) { put(out, std::bit_cast<uint32_t>(v)); }

// True when [offset, offset + length) lies inside a buffer of `size` bytes.
bool inside(uint64_t offset, uint64_t length, size_t size) { return offset <= size && length <= size - offset; }

}  // namespace

std::string build_ranked_file(const image::ParamBits& bits, const std::vector<RankedEntry>& entries) {
  const size_t records = kHeaderSize;
  size_t names = records + entries.size() * kRecordSize;
  size_t histograms = names;
  for (const RankedEntry& e : entries) {
    const Signature& s = e.signature;
    if ((s.kind != image::kKindNB && s.kind != image::kKindRGB) || s.thumbs.size() != kThumbsPerImage ||
        s.bits.PARAM_BITS_NB != bits.PARAM_BITS_NB || s.bits.PARAM_BITS_RGB != bits.PARAM_BITS_RGB)
      throw std::invalid_argument("not an index signature of the file's bits: " + e.name);
    histograms += e.name.size();
  }
  size_t thumbs = histograms;
  for (const RankedEntry& e : entries) thumbs += e.signature.histogram.size() * 8;

  std::string out;
  out.reserve(thumbs + entries.size() * kImageThumbBytes);
  out += kMagic;
  put<uint32_t>(out, kFormatVersion);
  put<uint32_t>(out, static_cast<uint32_t>(bits.PARAM_BITS_NB));
  put<uint32_t>(out, static_cast<uint32_t>(bits.PARAM_BITS_RGB));
  put<uint32_t>(out, kThumb);
  put<uint32_t>(out, kWindowScales.size());
  for (const WindowScale& s : kWindowScales) {
    put<uint32_t>(out, static_cast<uint32_t>(s.per_mille));
    put<uint32_t>(out, static_cast<uint32_t>(s.positions));
  }
  for (double v : kScoring) put_f64(out, v);
  put<uint64_t>(out, entries.size());
  put<uint64_t>(out, thumbs);

  size_t name_at = names, histogram_at = histograms;
  for (const RankedEntry& e : entries) {
    put<int64_t>(out, e.id);
    put<uint32_t>(out, static_cast<uint32_t>(e.signature.kind));
    put<uint32_t>(out, static_cast<uint32_t>(e.signature.histogram.size()));
    put<uint64_t>(out, name_at);
    put<uint64_t>(out, e.name.size());
    put<uint64_t>(out, histogram_at);
    name_at += e.name.size();
    histogram_at += e.signature.histogram.size() * 8;
  }
  for (const RankedEntry& e : entries) out += e.name;
  for (const RankedEntry& e : entries)
    for (const RootBin& b : e.signature.histogram) {
      put<uint32_t>(out, b.bin);
      put_f32(out, b.root);
    }
  for (const RankedEntry& e : entries)
    for (const Thumb& t : e.signature.thumbs)
      for (int16_t v : t) put<uint16_t>(out, static_cast<uint16_t>(v));
  return out;
}

const char* RankedFile::record(size_t i) const { return bytes_.data() + records_ + i * kRecordSize; }

std::optional<RankedFile> RankedFile::read(std::string_view bytes, std::string& error) {
  auto refuse = [&](const char* reason) {
    error = reason;
    return std::nullopt;
  };
  if (bytes.size() < kMagic.size() + 4 || bytes.substr(0, kMagic.size()) != kMagic)
    return refuse("not a ranked image base");
  const char* p = bytes.data() + kMagic.size();
  if (u32(p) != kFormatVersion) return refuse("unknown format version");
  if (bytes.size() < kHeaderSize) return refuse("truncated header");
  RankedFile f;
  f.bytes_ = bytes;
  const uint32_t nb = u32(p + 4), rgb = u32(p + 8);
  if (nb < 1 || nb > 7 || rgb < 1 || rgb > 5) return refuse("bit counts out of range");
  f.bits_.PARAM_BITS_NB = static_cast<int>(nb);
  f.bits_.PARAM_BITS_RGB = static_cast<int>(rgb);
  if (u32(p + 12) != kThumb || u32(p + 16) != kWindowScales.size())
    return refuse("built with other parameters");
  p += 20;
  for (const WindowScale& s : kWindowScales) {
    if (u32(p) != static_cast<uint32_t>(s.per_mille) || u32(p + 4) != static_cast<uint32_t>(s.positions))
      return refuse("built with other parameters");
    p += 8;
  }
  for (double v : kScoring) {
    if (u64(p) != std::bit_cast<uint64_t>(v)) return refuse("built with other parameters");
    p += 8;
  }
  const uint64_t count = u64(p), thumbs = u64(p + 8);
  f.records_ = kHeaderSize;
  if (count > (bytes.size() - kHeaderSize) / kRecordSize) return refuse("image count larger than the file");
  f.count_ = static_cast<size_t>(count);
  if (!inside(thumbs, count * kImageThumbBytes, bytes.size())) return refuse("thumbnails outside the file");
  f.thumbs_ = static_cast<size_t>(thumbs);
  for (size_t i = 0; i < f.count_; ++i) {
    const char* r = f.record(i);
    const uint32_t kind = u32(r + 8), bins = u32(r + 12);
    if (kind != image::kKindNB && kind != image::kKindRGB) return refuse("unknown image kind");
    if (!inside(u64(r + 16), u64(r + 24), bytes.size())) return refuse("name outside the file");
    const uint64_t at = u64(r + 32);
    if (!inside(at, uint64_t{bins} * 8, bytes.size())) return refuse("histogram outside the file");
    const uint32_t limit = bin_count(static_cast<int>(kind), f.bits_);
    int64_t previous = -1;
    bool ok = true;
    f.for_each_bin(i, [&](uint32_t bin, float root) {
      ok = ok && static_cast<int64_t>(bin) > previous && bin < limit && root >= 0 && root <= 1;
      previous = bin;
    });
    if (!ok) return refuse("histogram bins out of order or out of range");
  }
  return f;
}

int64_t RankedFile::id(size_t i) const { return static_cast<int64_t>(u64(record(i))); }

int RankedFile::kind(size_t i) const { return static_cast<int>(u32(record(i) + 8)); }

std::string_view RankedFile::name(size_t i) const {
  const char* r = record(i);
  return bytes_.substr(static_cast<size_t>(u64(r + 16)), static_cast<size_t>(u64(r + 24)));
}

std::vector<RootBin> RankedFile::histogram(size_t i) const {
  std::vector<RootBin> out;
  for_each_bin(i, [&](uint32_t bin, float root) { out.push_back({bin, root}); });
  return out;
}

void RankedFile::thumbs(size_t i, Thumb* out) const {
  const char* p = bytes_.data() + thumbs_ + i * kImageThumbBytes;
  for (int t = 0; t < kThumbsPerImage; ++t) {
    int16_t* cells = out[t].data();
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(cells, p, kThumbBytes);
    } else {
      for (int k = 0; k < kThumbCells; ++k)
        cells[k] = static_cast<int16_t>(static_cast<unsigned char>(p[2 * k]) | (static_cast<unsigned char>(p[2 * k + 1]) << 8));
    }
    for (int k = 0; k < kThumbCells; ++k) cells[k] = std::clamp<int16_t>(cells[k], -255, 255);
    p += kThumbBytes;
  }
}

}  // namespace image_ranking
