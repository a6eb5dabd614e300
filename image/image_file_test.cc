#include "image/image_file.h"

#include <string>

#include <gtest/gtest.h>

using namespace image;

namespace {

ReadFault readNB(const std::string& bytes, ImgNB& img) {
  ImageStream in(bytes);
  Entete e;
  ReadFault f = lectureEntete(in, e);
  if (f != ReadFault::kNone) return f;
  img = initImageNB("x", static_cast<int32_t>(e.nbLigne), static_cast<int32_t>(e.nbColonne));
  return lectureImgageNB(img, in);
}

ReadFault readRGB(const std::string& bytes, ImgRGB& img) {
  ImageStream in(bytes);
  Entete e;
  ReadFault f = lectureEntete(in, e);
  if (f != ReadFault::kNone) return f;
  img = initImageRGB("x", static_cast<int32_t>(e.nbLigne), static_cast<int32_t>(e.nbColonne));
  return lectureImgageRGB(img, in);
}

}  // namespace

TEST(ImageReader, NumbersReadAsStrtolBaseZeroWholeTokens) {
  ImgNB img;
  ASSERT_EQ(readNB("0x1 \t+3\n1\n0x1f 010 -0 255 extra 999", img), ReadFault::kNone);
  EXPECT_EQ(img.nbLigne, 1);
  EXPECT_EQ(img.nbColonne, 3);
  EXPECT_EQ(img.matrice, (std::vector<uint8_t>{31, 8, 0}));
  // Extra numbers after the body (or anything else) are ignored.
  ASSERT_EQ(readNB("1 1 1 0 junk", img), ReadFault::kNone);
  EXPECT_EQ(img.matrice, (std::vector<uint8_t>{0}));

  ImageStream in("12 0X1F -7 00 0x 08 12abc 1e3 99999999999999999999999");
  int64_t v = 0;
  EXPECT_EQ(in.next(v), ImageStream::Token::kNumber);
  EXPECT_EQ(v, 12);
  EXPECT_EQ(in.next(v), ImageStream::Token::kNumber);
  EXPECT_EQ(v, 31);
  EXPECT_EQ(in.next(v), ImageStream::Token::kNumber);
  EXPECT_EQ(v, -7);
  EXPECT_EQ(in.next(v), ImageStream::Token::kNumber);
  EXPECT_EQ(v, 0);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(in.next(v), ImageStream::Token::kNotNumber) << k;
  EXPECT_EQ(in.next(v), ImageStream::Token::kNumber);  // saturates, later refused as > 255
  EXPECT_GT(v, 255);
  EXPECT_EQ(in.next(v), ImageStream::Token::kEnd);
}

TEST(ImageReader, BodyFaultsAndTheirMessages) {
  ImgNB nb;
  EXPECT_EQ(readNB("1 2 1 255 256", nb), ReadFault::kBadValue);
  EXPECT_EQ(nb.matrice[0], 255);  // values already read stay
  EXPECT_EQ(readNB("1 1 1 -1", nb), ReadFault::kBadValue);
  EXPECT_EQ(readNB("1 1 1 x", nb), ReadFault::kBadValue);
  EXPECT_EQ(readNB("2 3 1 1 2 3 4 5", nb), ReadFault::kMissingValues);
  EXPECT_EQ(readNB("2 3", nb), ReadFault::kMissingValues);
  EXPECT_EQ(readNB("2 three 1", nb), ReadFault::kBadValue);
  EXPECT_EQ(readFaultMessage(ReadFault::kMissingValues),
            "\nErreur fatale : Pas assez de valeurs dans l'image");
  EXPECT_EQ(readFaultMessage(ReadFault::kBadValue),
            "\nErreur fatale : Valeur incorrecte dans l'image");

  // Red and green complete, blue cut in half: fails in the blue plane.
  ImgRGB rgb;
  EXPECT_EQ(readRGB("2 2 3 1 2 3 4 5 6 7 8 9 10", rgb), ReadFault::kMissingValues);
  EXPECT_EQ(rgb.matriceG, (std::vector<uint8_t>{5, 6, 7, 8}));
  EXPECT_EQ(rgb.matriceB[0], 9);
}

TEST(ImageReader, HeaderSizesThatCannotBeHeld) {
  EXPECT_TRUE(tailleValide({1, 1, 1}));
  EXPECT_TRUE(tailleValide({46340, 46340, 1}));
  EXPECT_FALSE(tailleValide({0, 5, 1}));
  EXPECT_FALSE(tailleValide({5, -1, 3}));
  EXPECT_FALSE(tailleValide({65536, 32768, 1}));  // 2^31 pixels
  EXPECT_FALSE(tailleValide({INT64_MAX, INT64_MAX, 1}));
}

TEST(ImageReadWhole, OutcomesInOrderHeaderKindBody) {
  using O = ImageLue::Outcome;
  auto d = lireImage("2 2", "p");
  EXPECT_EQ(d.outcome, O::kHeaderFault);
  EXPECT_EQ(d.fault, ReadFault::kMissingValues);
  EXPECT_EQ(lireImage("2 2 x 1 1 1 1", "p").fault, ReadFault::kBadValue);
  EXPECT_EQ(lireImage("0 0 2", "p").outcome, O::kUnknownKind);
  EXPECT_EQ(lireImage("2 2 0", "p").outcome, O::kUnknownKind);
  EXPECT_EQ(lireImage("2 2 4294967297", "p").outcome, O::kUnknownKind);
  d = lireImage("0 2 1", "p");
  EXPECT_EQ(d.outcome, O::kBodyFault);
  EXPECT_EQ(d.fault, ReadFault::kBadValue);
  EXPECT_EQ(d.kind, kKindNB);
  d = lireImage("2 2 3 1 2 3", "p");
  EXPECT_EQ(d.outcome, O::kBodyFault);
  EXPECT_EQ(d.kind, kKindRGB);
  EXPECT_EQ(d.fault, ReadFault::kMissingValues);

  d = lireImage("2 1 3\n1 2\n3 4\n5 6 7", "dir/a.txt");
  ASSERT_EQ(d.outcome, O::kRead);
  EXPECT_EQ(d.rgb.nom, "dir/a.txt");
  EXPECT_EQ(d.rgb.nbLigne, 2);
  EXPECT_EQ(d.rgb.nbColonne, 1);
  EXPECT_EQ(d.rgb.matriceR, (std::vector<uint8_t>{1, 2}));
  EXPECT_EQ(d.rgb.matriceB, (std::vector<uint8_t>{5, 6}));
  EXPECT_EQ(d.rgb.matriceEnc.size(), 2u);
  d = lireImage("1 2 1 9 8", "b");
  ASSERT_EQ(d.outcome, O::kRead);
  EXPECT_EQ(d.nb.matrice, (std::vector<uint8_t>{9, 8}));
}

TEST(ImageReadWhole, HugeHeaderCostsNoAllocationAndKeepsTheFirstFault) {
  // 2^31 - 1 pixels asked, a few bytes given: walked through, not allocated.
  auto d = lireImage("46341 46340 3 1 2 3", "p");
  EXPECT_EQ(d.outcome, ImageLue::Outcome::kBodyFault);
  EXPECT_EQ(d.fault, ReadFault::kMissingValues);
  EXPECT_TRUE(d.rgb.matriceR.empty());
  // A bad value before the end is still reported as such.
  d = lireImage("40000 40000 1 1 2 300 4", "p");
  EXPECT_EQ(d.fault, ReadFault::kBadValue);
  d = lireImage("65536 32768 1 1", "p");
  EXPECT_EQ(d.fault, ReadFault::kBadValue);  // too many pixels to count
}

TEST(ImageReadWhole, FastAndGeneralNumberPathsAgree) {
  // Every spelling of values around the fast path's limits.
  const std::pair<const char*, int> cases[] = {
      {"0", 0},     {"7", 7},       {"255", 255}, {"0255", 173}, {"0xff", 255},
      {"+255", 255}, {"-0", 0},     {"00", 0},    {"0377", 255}, {"0XA", 10}};
  for (const auto& [text, value] : cases) {
    const auto d = lireImage(std::string("1 2 1 ") + text + " " + text, "p");
    ASSERT_EQ(d.outcome, ImageLue::Outcome::kRead) << text;
    EXPECT_EQ(d.nb.matrice, (std::vector<uint8_t>(2, static_cast<uint8_t>(value)))) << text;
  }
  for (const char* text : {"256", "1000", "99999", "0400", "0x100", "-1", "1.5", "08", "0x", "+",
                           "12a", "\xc3\xa9"}) {
    const auto d = lireImage(std::string("1 1 1 ") + text, "p");
    EXPECT_EQ(d.fault, ReadFault::kBadValue) << text;
  }
}

TEST(ImageQuantisation, GreyShiftsInPlace) {
  ImgNB img;
  ASSERT_EQ(readNB("1 4 1 200 55 255 127", img), ReadFault::kNone);
  ImgNB copy = img;
  quantificationImageNB(img, {4, 3});
  EXPECT_EQ(img.matrice, (std::vector<uint8_t>{12, 3, 15, 7}));
  quantificationImageNB(img, {4, 3});  // twice: shifted twice
  EXPECT_EQ(img.matrice, (std::vector<uint8_t>{0, 0, 0, 0}));
  ImgNB seven = copy;
  quantificationImageNB(seven, {7, 3});
  EXPECT_EQ(seven.matrice[2], 127);
  quantificationImageNB(copy, {1, 3});
  EXPECT_EQ(copy.matrice, (std::vector<uint8_t>{1, 0, 1, 0}));
}

TEST(ImageQuantisation, ColourCodes) {
  ImgRGB img;
  ASSERT_EQ(readRGB("1 3 3 200 255 0 100 255 0 50 255 0", img), ReadFault::kNone);
  quantificationImageRGB(img, {4, 3});
  EXPECT_EQ(img.matriceEnc, (std::vector<int32_t>{409, 511, 0}));
  quantificationImageRGB(img, {4, 5});
  EXPECT_EQ(img.matriceEnc[1], 32767);
  EXPECT_EQ(img.matriceR[0], 200);  // planes unchanged
}
