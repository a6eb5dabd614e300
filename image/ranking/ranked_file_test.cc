#include "image/ranking/ranked_file.h"

#include <cstring>
#include <stdexcept>

#include <gtest/gtest.h>

#include "image/ranking/test_images.h"

namespace image_ranking {
namespace {

using testing::colour;
using testing::grey;
using testing::scene;

std::vector<RankedEntry> entries(const image::ParamBits& bits) {
  std::vector<RankedEntry> out;
  out.push_back({0, "a.txt", *describe(colour(20, 30, [](int p, int i, int j) { return scene(i, j, p); }), bits, Purpose::kIndex)});
  out.push_back({7, "b b.txt", *describe(grey(3, 40, [](int i, int j) { return scene(i, j, 5); }), bits, Purpose::kIndex)});
  out.push_back({9, "", *describe(grey(1, 1, [](int, int) { return 255; }), bits, Purpose::kIndex)});
  return out;
}

std::optional<RankedFile> parse(const std::string& bytes, std::string& error) { return RankedFile::read(bytes, error); }

TEST(RankedFile, RoundTrip) {
  const image::ParamBits bits{6, 2};
  const std::vector<RankedEntry> in = entries(bits);
  const std::string bytes = build_ranked_file(bits, in);
  std::string error;
  const std::optional<RankedFile> f = parse(bytes, error);
  ASSERT_TRUE(f.has_value()) << error;
  EXPECT_EQ(f->bits().PARAM_BITS_NB, 6);
  EXPECT_EQ(f->bits().PARAM_BITS_RGB, 2);
  ASSERT_EQ(f->size(), 3u);
  for (size_t i = 0; i < in.size(); ++i) {
    EXPECT_EQ(f->id(i), in[i].id);
    EXPECT_EQ(f->name(i), in[i].name);
    EXPECT_EQ(f->kind(i), in[i].signature.kind);
    const std::vector<RootBin> h = f->histogram(i);
    ASSERT_EQ(h.size(), in[i].signature.histogram.size());
    for (size_t k = 0; k < h.size(); ++k) {
      EXPECT_EQ(h[k].bin, in[i].signature.histogram[k].bin);
      EXPECT_EQ(h[k].root, in[i].signature.histogram[k].root);
    }
    std::array<Thumb, kThumbsPerImage> thumbs;
    f->thumbs(i, thumbs.data());
    for (int t = 0; t < kThumbsPerImage; ++t) EXPECT_EQ(thumbs[t], in[i].signature.thumbs[t]);
  }
  const std::string empty = build_ranked_file(bits, {});
  ASSERT_TRUE(parse(empty, error).has_value());
  EXPECT_EQ(parse(empty, error)->size(), 0u);
}

TEST(RankedFile, BuildRefusesQuerySignaturesAndOtherBits) {
  const image::ParamBits bits;
  std::vector<RankedEntry> in = entries(bits);
  in[1].signature.thumbs.resize(1);
  EXPECT_THROW(build_ranked_file(bits, in), std::invalid_argument);
  EXPECT_THROW(build_ranked_file(image::ParamBits{5, 3}, entries(bits)), std::invalid_argument);
}

// Overwrites 4 or 8 little-endian bytes at `at`.
std::string patched(std::string bytes, size_t at, uint64_t value, size_t width) {
  for (size_t k = 0; k < width; ++k) bytes[at + k] = static_cast<char>(value >> (8 * k));
  return bytes;
}

TEST(RankedFile, RefusesInconsistentBytes) {
  const image::ParamBits bits;
  const std::string good = build_ranked_file(bits, entries(bits));
  std::string error;
  // every truncation
  for (size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(parse(good.substr(0, n), error).has_value()) << n;

  const size_t scales = 8 + 5 * 4;                 // after the thumbnail side and scale count
  const size_t count = scales + 3 * 8 + 5 * 8;     // image count
  const size_t record = count + 16;                // first record
  struct Case {
    size_t at;
    uint64_t value;
    size_t width;
    const char* reason;
  };
  const Case cases[] = {
      {0, 'X', 1, "not a ranked image base"},
      {8, 2, 4, "unknown format version"},
      {12, 0, 4, "bit counts out of range"},
      {16, 6, 4, "bit counts out of range"},
      {20, 8, 4, "built with other parameters"},
      {scales, 600, 4, "built with other parameters"},
      {scales + 3 * 8, 0, 8, "built with other parameters"},  // a weight
      {count, 1000, 8, "image count larger than the file"},
      {count, uint64_t{1} << 62, 8, "image count larger than the file"},
      {count + 8, good.size(), 8, "thumbnails outside the file"},
      {record + 8, 2, 4, "unknown image kind"},
      {record + 16, good.size(), 8, "name outside the file"},
      {record + 24, ~uint64_t{0}, 8, "name outside the file"},
      {record + 12, 1u << 30, 4, "histogram outside the file"},
      {record + 32, ~uint64_t{0} - 3, 8, "histogram outside the file"},
  };
  for (const Case& c : cases) {
    error.clear();
    EXPECT_FALSE(parse(patched(good, c.at, c.value, c.width), error).has_value()) << c.reason;
    EXPECT_EQ(error, c.reason);
  }
  // histogram contents: bins in order, within the kind's codes, roots in [0, 1]
  uint64_t at = 0;
  std::memcpy(&at, good.data() + record + 32, 8);  // little-endian host in tests
  for (auto [offset, value] : {std::pair<size_t, uint32_t>{0, 512}, {8, 0}, {4, 0x7fc00000u}, {4, 0x40000000u}}) {
    error.clear();
    EXPECT_FALSE(parse(patched(good, at + offset, value, 4), error).has_value());
    EXPECT_EQ(error, "histogram bins out of order or out of range");
  }
}

TEST(RankedFile, ThumbnailCellsAreClamped) {
  const image::ParamBits bits;
  const std::string good = build_ranked_file(bits, entries(bits));
  std::string error;
  uint64_t thumbs = 0;
  std::memcpy(&thumbs, good.data() + 8 + 5 * 4 + 3 * 8 + 5 * 8 + 8, 8);
  const std::string bytes = patched(patched(good, thumbs, 0x7fff, 2), thumbs + 2, 0x8000, 2);
  const std::optional<RankedFile> f = parse(bytes, error);
  ASSERT_TRUE(f.has_value());
  std::array<Thumb, kThumbsPerImage> t;
  f->thumbs(0, t.data());
  EXPECT_EQ(t[0][0], 255);
  EXPECT_EQ(t[0][1], -255);
}

}  // namespace
}  // namespace image_ranking
