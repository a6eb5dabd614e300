#include "image/unrequested.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/temp_store.h"

using namespace image;

namespace {

ImgRGB readRGB(const std::string& bytes) {
  ImageLue r = lireImage(bytes, "x");
  EXPECT_EQ(r.outcome, ImageLue::Outcome::kRead);
  return r.rgb;
}

ImgRGB rgb2x2() { return readRGB("2 2 3  1 2 3 4  10 20 30 40  100 200 250 255"); }

}  // namespace

TEST(ImageDumps, ExactText) {
  const ImgNB nb = lireImage("2 3 1 1 2 3 40 50 60", "x").nb;
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
  const ImgRGB rgb = readRGB("1 2 3 1 2 3 4 5 6");
  EXPECT_EQ(texteImageRGBBit(rgb),
            "nbColonne:2, nbLigne:1\n\n\nAffichage de la matrice R, V, B :\n"
            "\nFin Affichage matrice");
}

TEST(ImageDumps, PrintersAndFileWriter) {
  ImgRGB rgb = rgb2x2();
  quantificationImageRGB(rgb, {4, 3});
  output::StringSink sink;
  afficherImageRGB(sink, rgb);
  afficherImageRGBEnc(sink, rgb);
  EXPECT_EQ(sink.out_text(), texteImageRGB(rgb) + texteImageRGBEnc(rgb));
  EXPECT_EQ(sink.err_text(), "");

  // No pixel (1, 1): the dump without values, and one line naming the image.
  output::StringSink small;
  ImgRGB thin = readRGB("1 2 3 1 2 3 4 5 6");
  thin.nom = "a\nb";
  afficherImageRGBBit(small, thin);
  EXPECT_EQ(small.out_text(), texteImageRGBBit(thin));
  EXPECT_EQ(small.err_text(),
            "engine: image a\\nb : moins de 2 lignes ou 2 colonnes, pas de pixel (1, 1) à afficher\n");

  testing_support::TempStore t;
  ASSERT_TRUE(ecrireImage(t.store(), sink, rgb));
  EXPECT_EQ(t.read("work/ecrireimage"), texteEcrireImage(rgb));
  // Written again: emptied first.
  ASSERT_TRUE(ecrireImage(t.store(), sink, readRGB("1 1 3 1 2 3")));
  EXPECT_EQ(t.read("work/ecrireimage"), "ROUGE\n\n1 \nVert\n\n2 \nbleue\n\n3 \nEnc\n\n0 \n");

  // A working directory that is gone: false and one line with the cause.
  std::filesystem::remove_all(t.path("work"));
  output::StringSink failed;
  EXPECT_FALSE(ecrireImage(t.store(), failed, rgb));
  EXPECT_NE(failed.err_text().find("No such file or directory"), std::string::npos) << failed.err_text();
  EXPECT_EQ(failed.out_text(), "");
}

TEST(ImageDumps, FileWriterReplacesALinkInsteadOfWritingThroughIt) {
  testing_support::TempStore t;
  t.write("outside", "not the engine's");
  std::filesystem::create_symlink(t.path("outside"), t.path("work/ecrireimage"));
  output::StringSink sink;
  const ImgRGB rgb = rgb2x2();
  ASSERT_TRUE(ecrireImage(t.store(), sink, rgb)) << sink.err_text();
  EXPECT_EQ(t.read("outside"), "not the engine's");
  EXPECT_FALSE(std::filesystem::is_symlink(t.path("work/ecrireimage")));
  EXPECT_EQ(t.read("work/ecrireimage"), texteEcrireImage(rgb));
}
