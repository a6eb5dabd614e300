#include <string>

#include <gtest/gtest.h>

#include "image/describe.h"

using namespace image;

TEST(ImageDescribe, CountsAddUpAndOneValueGivesOneLine) {
  const Description r = describeImage("3 4 1 16 17 18 19 20 21 22 23 24 25 26 31", "p", ParamBits{});
  ASSERT_EQ(r.outcome, ImageLue::Outcome::kRead);
  const DescripteurImage& d = r.descripteur;
  EXPECT_EQ(d.nbvaleur, 1);
  EXPECT_EQ(d.histo.valeurs, (std::vector<int32_t>{1}));
  EXPECT_EQ(d.histo.occurrences, (std::vector<int32_t>{12}));
  EXPECT_EQ(d.nbcolonne, 4);
  EXPECT_EQ(d.nbligne, 3);
}

TEST(ImageDescribe, ColourCodesInIncreasingOrderAndFaultsPassThrough) {
  // Codes with 3 bits: (7,0,0) -> 448, (0,0,7) -> 7, twice (0,0,0) -> 0.
  Description r = describeImage("2 2 3  255 0 0 0  0 0 0 0  0 255 0 0", "p", ParamBits{});
  ASSERT_EQ(r.outcome, ImageLue::Outcome::kRead);
  EXPECT_EQ(r.kind, kKindRGB);
  EXPECT_EQ(r.descripteur.type, kKindRGB);
  EXPECT_EQ(r.descripteur.histo.valeurs, (std::vector<int32_t>{0, 7, 448}));
  EXPECT_EQ(r.descripteur.histo.occurrences, (std::vector<int32_t>{2, 1, 1}));

  r = describeImage("2 2 1 1 2", "p", ParamBits{});
  EXPECT_EQ(r.outcome, ImageLue::Outcome::kBodyFault);
  EXPECT_EQ(r.fault, ReadFault::kMissingValues);
  EXPECT_EQ(r.kind, kKindNB);
  EXPECT_TRUE(r.descripteur.histo.valeurs.empty());
  r = describeImage("1 1 2 0 0", "p", ParamBits{});
  EXPECT_EQ(r.outcome, ImageLue::Outcome::kUnknownKind);
  r = describeImage("1 x", "p", ParamBits{});
  EXPECT_EQ(r.outcome, ImageLue::Outcome::kHeaderFault);
  EXPECT_EQ(r.fault, ReadFault::kBadValue);
}
