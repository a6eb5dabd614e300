#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "image/image_dump.h"
#include "image/image_file.h"

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

ImgRGB rgb2x2() {
  ImgRGB img;
  EXPECT_EQ(readRGB("2 2 3  1 2 3 4  10 20 30 40  100 200 250 255", img), ReadFault::kNone);
  return img;
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

TEST(ImageDumps, ExactText) {
  ImgNB nb;
  ASSERT_EQ(readNB("2 3 1 1 2 3 40 50 60", nb), ReadFault::kNone);
  EXPECT_EQ(texteImageNB(nb),
            "\n\nAffichage de la matrice :\nnbColonne:3, nbLigne:2\n1 2 3 \n40 50 60 \n"
            "\nFin Affichage matrice");

  ImgRGB rgb = rgb2x2();
  EXPECT_EQ(texteImageRGB(rgb),
            "nbColonne:2, nbLigne:2\n"
            "\n\nAffichage de la matrice R :\n1 2 \n3 4 \n"
            "\n\nAffichage de la matrice G :\n10 20 \n30 40 \n"
            "\n\nAffichage de la matrice B :\n100 200 \n250 255 \n"
            "\nFin Affichage matrice");
  quantificationImageRGB(rgb, {4, 5});
  EXPECT_EQ(texteImageRGBEnc(rgb),
            "nbColonne:2, nbLigne:2\n\n\nAffichage de la matrice R :\n2c 59 \n7f bf \n");
  EXPECT_EQ(texteImageRGBBit(rgb),
            "nbColonne:2, nbLigne:2\n\n\nAffichage de la matrice R, V, B :\n4 40 255 "
            "\nFin Affichage matrice");
  EXPECT_EQ(texteEcrireImage(rgb),
            "ROUGE\n\n1 2 \n3 4 \nVert\n\n10 20 \n30 40 \nbleue\n\n100 200 \n250 255 \n"
            "Enc\n\n44 89 \n127 191 \n");
}

TEST(ImageDumps, PixelOneOneOfASmallImageIsNotReadOutOfBounds) {
  ImgRGB rgb;
  ASSERT_EQ(readRGB("1 2 3 1 2 3 4 5 6", rgb), ReadFault::kNone);
  EXPECT_EQ(texteImageRGBBit(rgb),
            "nbColonne:2, nbLigne:1\n\n\nAffichage de la matrice R, V, B :\n"
            "\nFin Affichage matrice");
}

TEST(ImageDumps, PrintersAndFileWriter) {
  ImgRGB rgb = rgb2x2();
  quantificationImageRGB(rgb, {4, 3});
  testing::internal::CaptureStdout();
  afficherImageRGB(rgb);
  afficherImageRGBEnc(rgb);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), texteImageRGB(rgb) + texteImageRGBEnc(rgb));

  char tmpl[] = "/tmp/image_dump.XXXXXX";
  const std::string dir = ::mkdtemp(tmpl);
  const std::string file = dir + "/ecrireimage";
  ASSERT_TRUE(ecrireImage(rgb, file));
  std::ifstream f(file, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  EXPECT_EQ(s.str(), texteEcrireImage(rgb));
  std::remove(file.c_str());
  ::rmdir(dir.c_str());
  EXPECT_FALSE(ecrireImage(rgb, dir + "/missing/ecrireimage"));
}
