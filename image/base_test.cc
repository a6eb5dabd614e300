#include <string>

#include <gtest/gtest.h>

#include "common/tokens.h"
#include "image/base.h"
#include "image/base_list.h"
#include "image/describe.h"

using namespace image;

namespace {

DescripteurImage describe(const std::string& bytes, ParamBits bits = {}) {
  const Description d = describeImage(bytes, "p", bits);
  EXPECT_EQ(d.outcome, ImageLue::Outcome::kRead);
  return d.descripteur;
}

}  // namespace

TEST(ImageBase, WorkedExampleByteForByte) {
  const DescripteurImage d = describe("2 2 1\n50 60\n200 55\n");
  EXPECT_EQ(creationDescripteur(d, 3),
            "<id> 3 </id>\n<type> NB </type>\n<nbcolonne> 2 </nbcolonne>\n"
            "<nbligne> 2 </nbligne>\n<nbvaleur> 2 </nbvaleur>\n<valeurs>\n"
            "0x03: 3;\n0x0c: 1;\n</valeurs>\n\n");
  EXPECT_EQ(enteteBase({6, 2}), "NB_BIT_RGB: 2\nNB_BIT_NB: 6\n");
  EXPECT_EQ(creationLien(12, "a.txt", "RGB"),
            "<id> 12 </id> <fichier> a.txt </fichier> <type> RGB </type>\n");
}

TEST(ImageBase, HexFormatsZeroPaddedTwoGreyFourColour) {
  // Grey, 7 bits: 30 -> 15, 32 -> 16, 254 -> 127.
  std::string text = creationDescripteur(describe("1 3 1 30 32 254", {7, 3}), 0);
  EXPECT_NE(text.find("<valeurs>\n0x0f: 1;\n0x10: 1;\n0x7f: 1;\n</valeurs>\n\n"),
            std::string::npos)
      << text;
  // Colour, 5 bits: codes 15, 16, 256 (g = 8), 4096 (r = 4), 32767.
  text = creationDescripteur(
      describe("1 5 3  0 0 0 32 255   0 0 64 0 255   120 128 0 0 255", {4, 5}), 0);
  EXPECT_NE(text.find("<type> RGB </type>\n<nbcolonne> 5 </nbcolonne>\n<nbligne> 1 </nbligne>\n"
                      "<nbvaleur> 5 </nbvaleur>\n<valeurs>\n0x000f: 1;\n0x0010: 1;\n"
                      "0x0100: 1;\n0x1000: 1;\n0x7fff: 1;\n</valeurs>\n\n"),
            std::string::npos)
      << text;
}

TEST(ImageBaseReader, ReadsBackWhatTheWriterWrites) {
  const DescripteurImage written = describe("2 3 3 0 255 4 8 64 200 1 2 3 4 5 6 7 8 9 10 11 12", {4, 3});
  const std::string text = "garbage " + creationDescripteur(written, 7) + creationDescripteur(describe("1 1 1 9"), 8);
  tokens::Reader in(text);
  bool complete = false;
  DescripteurImage d = lireDescripteur(in, complete);
  ASSERT_TRUE(complete);
  EXPECT_EQ(d.id, 7);
  EXPECT_EQ(d.type, kKindRGB);
  EXPECT_EQ(d.nbcolonne, 3);
  EXPECT_EQ(d.nbligne, 2);
  EXPECT_EQ(d.nbvaleur, written.nbvaleur);
  EXPECT_EQ(d.histo.valeurs, written.histo.valeurs);
  EXPECT_EQ(d.histo.occurrences, written.histo.occurrences);
  d = lireDescripteur(in, complete);
  ASSERT_TRUE(complete);
  EXPECT_EQ(d.id, 8);
  EXPECT_EQ(d.type, kKindNB);
  EXPECT_EQ(d.histo.valeurs, (std::vector<int32_t>{0}));
  // The final empty line: the input ends before a closing mark.
  d = lireDescripteur(in, complete);
  EXPECT_FALSE(complete);
}

TEST(ImageBaseReader, StateMachineCorners) {
  bool complete = false;
  {
    // A field word is converted, then compared with the marks; kinds other
    // than "RGB" are grey; leading digits only.
    tokens::Reader in("<id> <type> rgb <nbcolonne> 12x <nbligne> -3 <nbvaleur> 0 <valeurs> </valeurs>");
    const DescripteurImage d = lireDescripteur(in, complete);
    ASSERT_TRUE(complete);
    EXPECT_EQ(d.id, 0);
    EXPECT_EQ(d.type, kKindNB);
    EXPECT_EQ(d.nbcolonne, 12);
    EXPECT_EQ(d.nbligne, -3);
    EXPECT_TRUE(d.histo.valeurs.empty());
    EXPECT_EQ(d.entries(), 0u);
  }
  {
    // More value lines than announced: the entries grow as read (no overflow)
    // and scoring uses the announced ones; octal and hex values.
    tokens::Reader in("<nbvaleur> 1 <valeurs> 0x10: 3; 010: 2; 7: 1; </valeurs>");
    const DescripteurImage d = lireDescripteur(in, complete);
    ASSERT_TRUE(complete);
    EXPECT_EQ(d.histo.valeurs, (std::vector<int32_t>{16, 8, 7}));
    EXPECT_EQ(d.histo.occurrences, (std::vector<int32_t>{3, 2, 1}));
    EXPECT_EQ(d.entries(), 1u);
  }
  {
    // Fewer lines than announced; the closing mark in the count state gives 0.
    tokens::Reader in("<nbvaleur> 9 <valeurs> 0x01: </valeurs>");
    const DescripteurImage d = lireDescripteur(in, complete);
    ASSERT_TRUE(complete);
    EXPECT_EQ(d.histo.occurrences, (std::vector<int32_t>{0}));
    EXPECT_EQ(d.entries(), 1u);
  }
  {
    // "</valeurs>" outside the values still ends the record; input cut short does not.
    tokens::Reader in("<id> 4 </valeurs> <id> 5 <valeurs> 0x01: 2;");
    DescripteurImage d = lireDescripteur(in, complete);
    ASSERT_TRUE(complete);
    EXPECT_EQ(d.id, 4);
    d = lireDescripteur(in, complete);
    EXPECT_FALSE(complete);
    EXPECT_EQ(d.id, 0);
  }
}

TEST(ImageBaseReader, BaseHeadAndListNames) {
  ParamBits bits;
  {
    tokens::Reader in("NB_BIT_RGB: 5\nNB_BIT_NB: 7\n<id>");
    EXPECT_TRUE(lireEnteteBase(in, bits));
    EXPECT_EQ(bits.PARAM_BITS_RGB, 5);
    EXPECT_EQ(bits.PARAM_BITS_NB, 7);
  }
  for (const char* bad : {"", "NB_BIT_RGB: 3\nNB_BIT_NB:", "NB_BIT_RGB: 0\nNB_BIT_NB: 4\n",
                          "NB_BIT_RGB: 3\nNB_BIT_NB: 8\n", "x y z w"}) {
    tokens::Reader in(bad);
    EXPECT_FALSE(lireEnteteBase(in, bits)) << bad;
  }
  const auto noms = nomsParId(creationLien(0, "a.txt", "NB") + creationLien(1, "b.txt", "RGB") +
                              creationLien(1, "c.txt", "NB"));
  EXPECT_EQ(noms.size(), 2u);
  EXPECT_EQ(noms.at(0), "a.txt");
  EXPECT_EQ(noms.at(1), "b.txt");
  EXPECT_TRUE(nomsParId("").empty());
}
