#include "sound/ranking/samples.h"

#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

namespace {

std::string Bytes(const std::vector<double>& values) {
  std::string out(values.size() * 8, '\0');
  std::memcpy(out.data(), values.data(), out.size());
  return out;
}

}  // namespace

TEST(Samples, PiecesOfAnySizeGiveTheSamplesOfTheWhole) {
  const std::string bytes =
      Bytes({0.5, -0.25, std::numeric_limits<double>::quiet_NaN(), 1e9, -std::numeric_limits<double>::infinity(), 1.0}) +
      "abc";  // a trailing group of fewer than 8 bytes is no sample
  const std::vector<float> whole = sound_ranking::samples_from_bytes(bytes);
  EXPECT_EQ(whole, (std::vector<float>{0.5f, -0.25f, 0.0f, 1e4f, 0.0f, 1.0f}));
  for (size_t piece : {1u, 3u, 7u, 8u, 13u}) {
    sound_ranking::SampleCollector c;
    for (size_t at = 0; at < bytes.size(); at += piece) c.feed(std::string_view(bytes).substr(at, piece));
    EXPECT_EQ(c.take(), whole) << piece;
  }
}
