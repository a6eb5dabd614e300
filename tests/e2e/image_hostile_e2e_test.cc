// Image side end to end against a hostile store: links standing where the
// engine's own files belong, and FIFOs or devices where it expects files.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

using e2e::Store;

namespace {

const std::string kRgb = e2e::kRgb;
const std::string kNb = e2e::kNb;
const std::string kBaseDir = e2e::kImageBase;
const std::string kList = kBaseDir + "liste_base_image.txt";
const std::string kBase = kBaseDir + "base_descripteur_image.txt";
const char kOpener[] = "\n\nErreur Fatale a l'ouverture du fichier \n";
const char kOutside[] = "outside file, not the engine's\n";

// Runs that must end on their own, well before the harness's limit.
e2e::RunOptions bounded() {
  e2e::RunOptions o;
  o.timeout_seconds = 20;
  return o;
}

size_t lines(const std::string& s) { return static_cast<size_t>(std::count(s.begin(), s.end(), '\n')); }

}  // namespace

TEST(ImageOwnFiles, StaleQueryDescriptorLinkIsRemovedNotFollowed) {
  Store s;
  s.write(kNb + "g.txt", "1 1 1 200");
  s.write("q.txt", "1 1 1 200");
  ASSERT_EQ(s.engine({"indexation"}).status, 0);
  s.write("outside.txt", kOutside);
  ASSERT_EQ(::symlink(s.path("outside.txt").c_str(), s.path(kBaseDir + "temp").c_str()), 0);
  const e2e::Result r = s.engine({"comparaison", "image", "../q.txt"}, bounded());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Requête : ../q.txt\nImage g.txt (id 0) : 100 % de ressemblance\n");
  EXPECT_EQ(s.read("outside.txt"), kOutside);
  EXPECT_FALSE(s.exists(kBaseDir + "temp"));
}

TEST(ImageOwnFiles, StagingNamesThatAreLinksAreReplaced) {
  Store s;
  s.write(kNb + "g.txt", "1 1 1 200");
  s.write("outside.txt", kOutside);
  for (const char* staged : {".liste_base_image.txt.new", ".base_descripteur_image.txt.new"})
    ASSERT_EQ(::symlink(s.path("outside.txt").c_str(), s.path(kBaseDir + staged).c_str()), 0);
  const e2e::Result r = s.engine({"indexation"}, bounded());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(s.read("outside.txt"), kOutside);
  EXPECT_EQ(s.read(kList), "<id> 0 </id> <fichier> g.txt </fichier> <type> NB </type>\n");
  EXPECT_EQ(s.list(kBaseDir), (std::vector<std::string>{"base_descripteur_image.txt", "classement_image.idx",
                                                        "liste_base_image.txt"}));
}

TEST(ImageBlockingInputs, FifoQueryIsAnUnreadableQuery) {
  Store s;
  s.write(kNb + "g.txt", "1 1 1 200");
  ASSERT_EQ(s.engine({"indexation"}).status, 0);
  ASSERT_EQ(::mkfifo(s.path("q.txt").c_str(), 0644), 0);
  const e2e::Result r = s.engine({"comparaison", "image", "../q.txt"}, bounded());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Requête : ../q.txt\n" + std::string(kOpener));
  EXPECT_EQ(lines(r.err), 1u) << r.err;
  EXPECT_NE(r.err.find("../q.txt"), std::string::npos) << r.err;
}

TEST(ImageBlockingInputs, FifoOrDeviceInTheCorpusIsRefused) {
  Store s;
  s.write(kRgb + "a.txt", "1 1 3 255 0 0");
  ASSERT_EQ(::mkfifo(s.path(kRgb + "b.txt").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("/dev/zero", s.path(kNb + "z.txt").c_str()), 0);
  s.write(kNb + "g.txt", "1 1 1 200");
  const e2e::Result r = s.engine({"indexation"}, bounded());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find("Erreur"), std::string::npos) << r.out;
  EXPECT_EQ(s.read(kList),
            "<id> 0 </id> <fichier> a.txt </fichier> <type> RGB </type>\n"
            "<id> 1 </id> <fichier> g.txt </fichier> <type> NB </type>\n");
  // One line for each, naming it.
  EXPECT_EQ(lines(r.err), 2u) << r.err;
  EXPECT_NE(r.err.find(kRgb + "b.txt"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(kNb + "z.txt"), std::string::npos) << r.err;
}

TEST(ImageBlockingInputs, FifoBaseFilesNeverBlockASearch) {
  Store s;
  s.write(kNb + "g.txt", "1 1 1 200");
  s.write("q.txt", "1 1 1 200");
  ASSERT_EQ(s.engine({"indexation"}).status, 0);
  // The list cannot be read: the names show as "?".
  s.remove(kList);
  ASSERT_EQ(::mkfifo(s.path(kList).c_str(), 0644), 0);
  e2e::Result r = s.engine({"comparaison", "image", "../q.txt"}, bounded());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Requête : ../q.txt\nImage ? (id 0) : 100 % de ressemblance\n");
  // The base cannot be read: one line, status 1.
  s.remove(kBase);
  ASSERT_EQ(::mkfifo(s.path(kBase).c_str(), 0644), 0);
  r = s.engine({"comparaison", "image", "../q.txt"}, bounded());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Requête : ../q.txt\n");
  EXPECT_EQ(lines(r.err), 1u) << r.err;
}
