// Image side end to end: "indexation" builds the image list and descriptor
// base byte for byte; "comparaison image PATH" scores a query against them.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

using e2e::Store;
namespace fs = std::filesystem;

namespace {

const std::string kRgb = e2e::kRgb;
const std::string kNb = e2e::kNb;
const std::string kList = std::string(e2e::kImageBase) + "liste_base_image.txt";
const std::string kBase = std::string(e2e::kImageBase) + "base_descripteur_image.txt";
const std::string kTemp = std::string(e2e::kImageBase) + "temp";
const std::string kRgbPath = "../" + kRgb;
const std::string kNbPath = "../" + kNb;
const char kClosing[] = "\nIndexation image effectuee avec succès !\n\n";
const char kHead34[] = "NB_BIT_RGB: 3\nNB_BIT_NB: 4\n";
const char kShort[] = "\nErreur fatale : Pas assez de valeurs dans l'image";
const char kBad[] = "\nErreur fatale : Valeur incorrecte dans l'image";
const char kOpener[] = "\n\nErreur Fatale a l'ouverture du fichier \n";

// An image of lines x columns pixels, every value `value`.
std::string uniform(int lines, int columns, int kind, int value) {
  std::string s = std::to_string(lines) + " " + std::to_string(columns) + " " +
                  std::to_string(kind) + "\n";
  for (int k = 0; k < lines * columns * kind; ++k) s += std::to_string(value) + (k % 8 == 7 ? "\n" : " ");
  return s;
}

std::string readError(const std::string& path) {
  return "\nErreur de lecture ou de quantification sur l'image:" + path + "\n";
}

std::string record(int id, const char* kind, int columns, int lines,
                   const std::vector<std::pair<const char*, int>>& values) {
  std::string s = "<id> " + std::to_string(id) + " </id>\n<type> " + kind + " </type>\n" +
                  "<nbcolonne> " + std::to_string(columns) + " </nbcolonne>\n<nbligne> " +
                  std::to_string(lines) + " </nbligne>\n<nbvaleur> " +
                  std::to_string(values.size()) + " </nbvaleur>\n<valeurs>\n";
  for (const auto& [v, n] : values) s += std::string(v) + ": " + std::to_string(n) + ";\n";
  return s + "</valeurs>\n\n";
}

std::string listLine(int id, const std::string& name, const char* kind) {
  return "<id> " + std::to_string(id) + " </id> <fichier> " + name + " </fichier> <type> " +
         kind + " </type>\n";
}

// What "indexation" prints in `s`: the same as in a twin store holding no
// image (the text and sound sides print the same there), with the image
// side's messages `images` between its configuration messages `config` and
// its closing message.
void expectIndexationOut(const Store& s, const e2e::Result& r, const std::string& config,
                         const std::string& images) {
  Store twin(/*with_config=*/false);
  const fs::path configFile = s.path(e2e::kConfig);
  if (fs::is_directory(configFile)) {
    twin.write(std::string(e2e::kConfig) + "/x", "");  // unreadable as a file
  } else if (fs::exists(configFile)) {
    twin.write(e2e::kConfig, s.read(e2e::kConfig));
  }
  const e2e::Result base = twin.engine({"indexation"});
  const std::string quiet = config + kClosing;
  const size_t at = base.out.find(quiet);
  ASSERT_NE(at, std::string::npos) << base.out;
  const std::string expected =
      base.out.substr(0, at) + config + images + kClosing + base.out.substr(at + quiet.size());
  EXPECT_EQ(r.out, expected);
}

}  // namespace

TEST(ImageIndexing, WorkedExampleAndBaseByteForByte) {
  Store s;
  s.write(kNb + "a.txt", uniform(1, 1, 1, 0));
  s.write(kNb + "b.txt", uniform(1, 2, 1, 255));
  s.write(kNb + "d.txt", "2 2 1\n50 60\n200 55\n");
  s.write(kRgb + "e.txt", "1 2 3  200 0  100 0  50 255");
  auto r = s.engine({"indexation"});
  EXPECT_EQ(r.status, 0) << r.err;
  expectIndexationOut(s, r, "", "");
  EXPECT_EQ(s.read(kList), listLine(0, "e.txt", "RGB") + listLine(1, "a.txt", "NB") +
                               listLine(2, "b.txt", "NB") + listLine(3, "d.txt", "NB"));
  EXPECT_EQ(s.read(kBase),
            std::string(kHead34) + record(0, "RGB", 2, 1, {{"0x0007", 1}, {"0x0199", 1}}) +
                record(1, "NB", 1, 1, {{"0x00", 1}}) + record(2, "NB", 2, 1, {{"0x0f", 2}}) +
                "<id> 3 </id>\n<type> NB </type>\n<nbcolonne> 2 </nbcolonne>\n"
                "<nbligne> 2 </nbligne>\n<nbvaleur> 2 </nbvaleur>\n<valeurs>\n"
                "0x03: 3;\n0x0c: 1;\n</valeurs>\n\n");
  // A second run leaves the same bases; no staging file stays behind.
  const std::string list = s.read(kList), base = s.read(kBase);
  r = s.engine({"indexation"});
  EXPECT_EQ(s.read(kList), list);
  EXPECT_EQ(s.read(kBase), base);
  EXPECT_EQ(s.list(e2e::kImageBase),
            (std::vector<std::string>{"base_descripteur_image.txt", "classement_image.idx", "liste_base_image.txt"}));
}

TEST(ImageIndexing, HexValuesZeroPaddedTwoDigitsGreyFourColour) {
  Store s;
  s.write(e2e::kConfig, "<image>\nNbBit_NB: 7\nNbBit_RGB: 5\n</image>");
  s.write(kNb + "g.txt", "1 3 1 30 32 254");
  // Codes 15, 16, 256, 4096 and 32767 with 5 bits per component.
  s.write(kRgb + "c.txt", "1 5 3  0 0 0 32 255  0 0 64 0 255  120 128 0 0 255");
  const auto r = s.engine({"indexation"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(s.read(kBase),
            "NB_BIT_RGB: 5\nNB_BIT_NB: 7\n" +
                record(0, "RGB", 5, 1,
                       {{"0x000f", 1}, {"0x0010", 1}, {"0x0100", 1}, {"0x1000", 1}, {"0x7fff", 1}}) +
                record(1, "NB", 3, 1, {{"0x0f", 1}, {"0x10", 1}, {"0x7f", 1}}));
}

TEST(ImageIndexing, BitCountsOutOfRangeKeepTheirValues) {
  const std::string nbMsg = "\nParametre de bits Nb incorrecte pour l'indexation image NB ! \n";
  const std::string rgbMsg = "\nParametre de bits Nb incorrecte pour l'indexation image RGB ! \n";
  {
    Store s;
    s.write(e2e::kConfig, "<image>\nNbBit_NB: 8\nNbBit_RGB: 0\n</image>");
    const auto r = s.engine({"indexation"});
    expectIndexationOut(s, r, nbMsg + rgbMsg, "");
    EXPECT_EQ(s.read(kBase), kHead34);
  }
  {
    Store s;
    std::string config = e2e::kDefaultConfig;
    config.replace(config.find("NbBit_NB: 4"), 11, "NbBit_NB: 6");
    s.write(e2e::kConfig, config);
    s.write(kNb + "g.txt", "1 2 1 255 4");
    const auto r = s.engine({"indexation"});
    expectIndexationOut(s, r, "", "");
    EXPECT_EQ(s.read(kBase), "NB_BIT_RGB: 3\nNB_BIT_NB: 6\n" +
                                 record(0, "NB", 2, 1, {{"0x01", 1}, {"0x3f", 1}}));
  }
  {
    // An unreadable configuration file: the defaults message, counts 3 and 4.
    Store s(/*with_config=*/false);
    s.write(std::string(e2e::kConfig) + "/x", "");
    const auto r = s.engine({"indexation"});
    expectIndexationOut(
        s, r, "Problème avec le fichier de configuration, valeurs par défaut utilisées. \n", "");
    EXPECT_EQ(s.read(kBase), kHead34);
  }
}

TEST(ImageIndexing, RefusedImagesTakeNoIdentifierAndIndexingGoesOn) {
  Store s;
  s.write(kRgb + "a.txt", uniform(1, 1, 3, 255));
  s.write(kRgb + "b.txt", "2 3 1 1 2 3 4 5");        // body too short
  s.write(kRgb + "c.txt", "1 2 1 255 256");          // value out of range
  s.write(kRgb + "d.txt", "2 2 2 1 1 1 1 1 1 1 1");  // two components
  s.write(kRgb + "e.txt", "1 2 1 7 seven");          // not a number
  s.write(kRgb + "f.txt", "4 4");                    // cut inside the header
  s.write(kRgb + "g.txt", "0 4 1");                  // no pixels
  s.write(kRgb + "h.txt", "65536 65536 3 1 2 3");    // more pixels than can be held
  s.write(kRgb + "i.txt", "46000 46000 3 1 2 3");    // far more values than the file holds
  s.write(kRgb + "j.txt", "1 1 0");                  // zero components
  s.write(kRgb + "k.txt", "x 1 1 0");                // header not a number
  ASSERT_EQ(::symlink("nowhere", s.path(kRgb + "bb.txt").c_str()), 0);  // cannot be opened
  s.write(kNb + "z.txt", "1 1 1 0x1f");
  const auto r = s.engine({"indexation"});
  EXPECT_EQ(r.status, 0);
  const std::string images = kShort + readError(kRgbPath + "b.txt") +
                             kOpener + "\nOuverture de l'image:" + kRgbPath + "bb.txt impossible !\n" +
                             kBad + readError(kRgbPath + "c.txt") +
                             "\nType de l'image:" + kRgbPath + "d.txt inconnu !\n" +
                             kBad + readError(kRgbPath + "e.txt") +
                             kShort + readError(kRgbPath + "f.txt") +
                             kBad + readError(kRgbPath + "g.txt") +
                             kBad + readError(kRgbPath + "h.txt") +
                             kShort + readError(kRgbPath + "i.txt") +
                             "\nType de l'image:" + kRgbPath + "j.txt inconnu !\n" +
                             kBad + readError(kRgbPath + "k.txt");
  expectIndexationOut(s, r, "", images);
  EXPECT_NE(r.err.find(kRgb + "bb.txt"), std::string::npos) << r.err;
  EXPECT_EQ(s.read(kList), listLine(0, "a.txt", "RGB") + listLine(1, "z.txt", "NB"));
  EXPECT_EQ(s.read(kBase), kHead34 + record(0, "RGB", 1, 1, {{"0x01ff", 1}}) +
                               record(1, "NB", 1, 1, {{"0x01", 1}}));
}

TEST(ImageIndexing, SameNameInBothCorporaAndKindFromTheHeader) {
  Store s;
  s.write(kRgb + "x.txt", uniform(1, 1, 3, 0));
  s.write(kNb + "x.txt", uniform(1, 1, 1, 0));  // another kind: registered again
  s.write(kRgb + "y.txt", uniform(1, 1, 1, 0)); // grey header in the colour corpus
  s.write(kNb + "y.txt", uniform(2, 2, 1, 9));  // same name, same kind: skipped
  s.write(kNb + "w.txt", "2 2 1 1");             // bad, but its name is not registered
  s.write(kRgb + "v.txt", uniform(1, 1, 1, 3));
  s.write(kNb + "v.txt", "2 2 1 1");             // bad, but skipped before its body is read
  const auto r = s.engine({"indexation"});
  expectIndexationOut(s, r, "", kShort + readError(kNbPath + "w.txt"));
  EXPECT_EQ(s.read(kList), listLine(0, "v.txt", "NB") + listLine(1, "x.txt", "RGB") +
                               listLine(2, "y.txt", "NB") + listLine(3, "x.txt", "NB"));
}

TEST(ImageIndexing, OnlyNamesEndingInTxtAreImages) {
  Store s;
  for (const char* name : {"atxt.dat", "a.txt.bak", "b.TXT", "ctxt", ".hidden.txt"})
    s.write(kNb + name, uniform(1, 1, 1, 0));
  s.write(kNb + "ok.txt", uniform(1, 1, 1, 0));
  s.write(kNb + "with space.txt", uniform(1, 1, 1, 0));
  s.write(kNb + "dir.txt/inner.txt", uniform(1, 1, 1, 0));
  const auto r = s.engine({"indexation"});
  expectIndexationOut(s, r, "", "");
  EXPECT_EQ(s.read(kList), listLine(0, "ok.txt", "NB"));
  EXPECT_NE(r.err.find("with space.txt"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("dir.txt"), std::string::npos) << r.err;
}

TEST(ImageIndexing, EmptyOrMissingCorporaGiveTheHeadOnly) {
  Store s;
  s.write(kNb + "a.txt", uniform(1, 1, 1, 0));
  auto r = s.engine({"indexation"});
  s.remove(kNb);
  r = s.engine({"indexation"});
  EXPECT_EQ(r.status, 0);
  expectIndexationOut(s, r, "", "");
  EXPECT_NE(r.err.find("TEST_NB"), std::string::npos) << r.err;
  EXPECT_EQ(s.read(kBase), kHead34);
  EXPECT_EQ(s.read(kList), "");
}

TEST(ImageIndexing, MissingBaseDirectoryFailsWithoutSuccessMessage) {
  Store s;
  s.write(kNb + "a.txt", uniform(1, 1, 1, 0));
  s.remove(e2e::kImageBase);
  const auto r = s.engine({"indexation"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.find("Indexation image"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("base_image"), std::string::npos) << r.err;
  EXPECT_FALSE(s.exists(e2e::kImageBase));
}

namespace {

// A store indexed with three colour and two grey images, and query files.
class ImageSearch : public testing::Test {
 protected:
  void SetUp() override {
    // 2 x 4, seven black pixels and one white.
    const std::string query = "2 4 3\n" + std::string("0 0 0 0 0 0 0 255\n") +
                              "0 0 0 0 0 0 0 255\n0 0 0 0 0 0 0 255\n";
    s.write(kRgb + "c1.txt", query);
    s.write(kRgb + "c2.txt", uniform(1, 1, 3, 255));
    s.write(kRgb + "c3.txt", "2 2 3 200 200 200 200 0 0 0 0 0 0 0 0");
    s.write(kNb + "g1.txt", uniform(4, 4, 1, 200));
    s.write(kNb + "g2.txt", uniform(2, 2, 1, 207));
    s.write("qa.txt", query);
    s.write("qb.txt", uniform(2, 2, 1, 200));
    std::string qc = "4 4 3\n";  // red plane 200, green and blue 0
    for (int k = 0; k < 48; ++k) qc += k < 16 ? "200 " : "0 ";
    s.write("qc.txt", qc);
    const auto r = s.engine({"indexation"});
    ASSERT_EQ(r.status, 0) << r.err;
    list = s.read(kList);
    base = s.read(kBase);
  }
  void expectBaseUnchanged() {
    EXPECT_EQ(s.read(kList), list);
    EXPECT_EQ(s.read(kBase), base);
    EXPECT_FALSE(s.exists(kTemp));
  }
  Store s;
  std::string list, base;
};

}  // namespace

TEST_F(ImageSearch, ScoresSortedWithNamesAndOnlyTheQueryKind) {
  auto r = s.engine({"comparaison", "image", "../qa.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "Requête : ../qa.txt\n"
            "Image c1.txt (id 0) : 100 % de ressemblance\n"
            "Image c2.txt (id 1) : 13 % de ressemblance\n"
            "Image c3.txt (id 2) : 0 % de ressemblance\n");
  expectBaseUnchanged();

  // Grey: two of the five records, the larger base image lowering the score.
  r = s.engine({"comparaison", "image", "../qb.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "Requête : ../qb.txt\n"
            "Image g2.txt (id 4) : 100 % de ressemblance\n"
            "Image g1.txt (id 3) : 25 % de ressemblance\n");

  // Colour 4 x 4 against a 2 x 2 base image of the same colour: 4 / 16.
  r = s.engine({"comparaison", "image", "../qc.txt"});
  EXPECT_EQ(r.out,
            "Requête : ../qc.txt\n"
            "Image c3.txt (id 2) : 25 % de ressemblance\n"
            "Image c1.txt (id 0) : 0 % de ressemblance\n"
            "Image c2.txt (id 1) : 0 % de ressemblance\n");
  expectBaseUnchanged();
}

TEST_F(ImageSearch, NoImageOfTheQueryKind) {
  s.remove(kRgb);
  s.write(kRgb + "keep", "");
  ASSERT_EQ(s.engine({"indexation"}).status, 0);
  const auto r = s.engine({"comparaison", "image", "../qa.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Requête : ../qa.txt\nAucune image du même type dans la base.\n");
  EXPECT_FALSE(s.exists(kTemp));
}

TEST_F(ImageSearch, StaleQueryDescriptorIsNeverReadAndGoes) {
  // What an interrupted search of an older version could leave: a grey
  // descriptor that would have been read as the query.
  s.write(kTemp, "<id> 5 </id>\n<type> NB </type>\n<nbcolonne> 1 </nbcolonne>\n<nbligne> 1 "
                 "</nbligne>\n<nbvaleur> 1 </nbvaleur>\n<valeurs>\n0x0c: 1;\n</valeurs>\n\n");
  const auto r = s.engine({"comparaison", "image", "../qa.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Image c1.txt (id 0) : 100 %"), std::string::npos) << r.out;
  EXPECT_FALSE(s.exists(kTemp));
}

TEST_F(ImageSearch, MoreRecordsThanListLines) {
  // The list lost its lines: every record is still scored, names show "?".
  s.write(kList, listLine(0, "c1.txt", "RGB"));
  const auto r = s.engine({"comparaison", "image", "../qa.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "Requête : ../qa.txt\n"
            "Image c1.txt (id 0) : 100 % de ressemblance\n"
            "Image ? (id 1) : 13 % de ressemblance\n"
            "Image ? (id 2) : 0 % de ressemblance\n");
  s.remove(kList);
  EXPECT_EQ(s.engine({"comparaison", "image", "../qb.txt"}).out,
            "Requête : ../qb.txt\n"
            "Image ? (id 4) : 100 % de ressemblance\n"
            "Image ? (id 3) : 25 % de ressemblance\n");
}

TEST_F(ImageSearch, QueriesThatCannotBeSearched) {
  s.write("short.txt", "2 2 1 1 2 3");
  s.write("bad.txt", "1 1 3 1 2 300");
  s.write("kind.txt", "1 1 2 1 1");
  s.write("empty.txt", "0 0 1");
  s.write("text.txt", "un deux trois");
  struct Case {
    const char* path;
    std::string out;
  };
  const Case cases[] = {
      {"../missing.txt", kOpener},
      {"..", kOpener},
      {"../short.txt", kShort},
      {"../bad.txt", kBad},
      {"../kind.txt", "\nType de l'image:../kind.txt inconnu !\n"},
      {"../empty.txt", kBad},
      {"../text.txt", kBad},
  };
  for (const Case& c : cases) {
    const auto r = s.engine({"comparaison", "image", c.path});
    EXPECT_EQ(r.status, 1) << c.path;
    EXPECT_EQ(r.out, "Requête : " + std::string(c.path) + "\n" + c.out) << c.path;
    // An unreadable file also gets one line on standard error.
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), c.out == kOpener ? 1 : 0) << r.err;
    expectBaseUnchanged();
  }
}

TEST_F(ImageSearch, MissingOrUnreadableBase) {
  s.write(kBase, "NB_BIT_RGB: 9\nNB_BIT_NB: 4\n");
  auto r = s.engine({"comparaison", "image", "../qa.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Requête : ../qa.txt\n");
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  s.remove(kBase);
  r = s.engine({"comparaison", "image", "../qa.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Requête : ../qa.txt\n");
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find("indexation"), std::string::npos) << r.err;
  EXPECT_FALSE(s.exists(kTemp));
}

TEST_F(ImageSearch, QueryDescribedWithTheBaseBitCounts) {
  // 130 quantises to 8 with the base's 4 bits (no match with 200 -> 12); with
  // the 1 bit now in the configuration both would give 1.
  s.write(e2e::kConfig, "NbBit_NB: 1\nNbBit_RGB: 1");
  s.write("q130.txt", uniform(2, 2, 1, 130));
  const auto r = s.engine({"comparaison", "image", "../q130.txt"});
  EXPECT_EQ(r.out,
            "Requête : ../q130.txt\n"
            "Image g1.txt (id 3) : 0 % de ressemblance\n"
            "Image g2.txt (id 4) : 0 % de ressemblance\n");
  expectBaseUnchanged();
}
