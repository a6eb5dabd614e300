// The text side and the keyword search facing a hostile or busy store:
// symbolic links planted in the scratch space, FIFOs given as inputs, a
// search waiting at its prompt, the permission bits of the scratch copies.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/child.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/text_fixtures.h"

namespace fs = std::filesystem;
using e2e::Result;
using e2e::Store;

namespace {

const char kBase[] = "EXTERN_FILES/database/base_texte/base_descripteur_texte.txt";
const char kClosing[] = "tous les documents xml ont bien été indexés !\n";

using e2e::doc;
using e2e::repeat;
using e2e::textRecord;

void addText(const Store& s, const std::string& name, const std::string& content) {
  s.write(std::string(e2e::kTexts) + name, content);
}

unsigned modeOf(const Store& s, const std::string& rel) {
  struct stat st;
  if (::lstat(s.path(rel).c_str(), &st) != 0) return 07777;
  return st.st_mode & 07777;
}

void setMode(const Store& s, const std::string& rel, unsigned mode) {
  ASSERT_EQ(::chmod(s.path(rel).c_str(), mode), 0) << rel;
}

void indexOk(const Store& s) {
  const Result r = s.engine({"indexation"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.rfind(kClosing, 0), 0u) << r.out;
}

// ---- links in the scratch space ----

// The scratch space is ours: a link where one of its directories belongs is
// replaced by a real directory, and nothing is ever written or removed
// through it.
TEST(ScratchLinks, CopiesDirectoryLinkedOutsideIsReplacedAndTheOutsideFilesSurvive) {
  Store s;
  addText(s, "a.xml", doc(repeat("maison", 3)));
  addText(s, "b.xml", doc(repeat("jardin", 3)));
  indexOk(s);
  s.write("ailleurs/a.xml", "le leur");
  s.write("ailleurs/autre.txt", "garde");
  s.remove("INDEXATION/temp_txt/cpy");
  fs::create_symlink(s.path("ailleurs"), s.path("INDEXATION/temp_txt/cpy"));
  indexOk(s);
  EXPECT_EQ(s.list("ailleurs"), (std::vector<std::string>{"a.xml", "autre.txt"}));
  EXPECT_EQ(s.read("ailleurs/a.xml"), "le leur");
  EXPECT_EQ(s.read("ailleurs/autre.txt"), "garde");
  EXPECT_FALSE(fs::is_symlink(s.path("INDEXATION/temp_txt/cpy")));
  EXPECT_EQ(s.list("INDEXATION/temp_txt/cpy"), (std::vector<std::string>{"a.xml", "b.xml"}));
  EXPECT_EQ(s.read("INDEXATION/temp_txt/cpy/a.xml"), doc(repeat("maison", 3)));
}

TEST(ScratchLinks, PureTextsLinkedToTheCorpusLeaveTheDocumentsUnchanged) {
  Store s;
  const std::string a = doc(repeat("maison", 3)), b = doc(repeat("jardin", 3));
  addText(s, "a.xml", a);
  addText(s, "b.xml", b);
  indexOk(s);
  s.remove("INDEXATION/temp_txt/pure_txts");
  fs::create_symlink(s.path(e2e::kTexts), s.path("INDEXATION/temp_txt/pure_txts"));
  indexOk(s);
  EXPECT_EQ(s.list(e2e::kTexts), (std::vector<std::string>{"a.xml", "b.xml"}));
  EXPECT_EQ(s.read(std::string(e2e::kTexts) + "a.xml"), a);
  EXPECT_EQ(s.read(std::string(e2e::kTexts) + "b.xml"), b);
  EXPECT_FALSE(fs::is_symlink(s.path("INDEXATION/temp_txt/pure_txts")));
  EXPECT_EQ(s.read("INDEXATION/temp_txt/pure_txts/a.xml"), repeat("maison", 3) + "\n");
  EXPECT_EQ(s.read(kBase), textRecord(1, "maison 3 ; ") + textRecord(2, "jardin 3 ; "));
}

TEST(ScratchLinks, TablesLinkedOutsideAreReplacedByEmptyFiles) {
  Store s;
  addText(s, "a.xml", doc(repeat("maison", 3)));
  s.write("dehors.txt", "dehors");
  fs::create_symlink(s.path("dehors.txt"), s.path("INDEXATION/table_index_texte_temp"));
  indexOk(s);
  const Result r = s.engine({"indexation"});
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(s.read("dehors.txt"), "dehors");
  EXPECT_FALSE(fs::is_symlink(s.path("INDEXATION/table_index_texte_temp")));
  EXPECT_EQ(s.read("INDEXATION/table_index_texte_temp"), "");
}

TEST(ScratchLinks, TemporaryDescriptorLinkedOutsideLeavesTheOutsideFileUnchanged) {
  Store s;
  addText(s, "a.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
  indexOk(s);
  s.write("dehors.txt", "dehors");
  const std::string descriptor = std::string(e2e::kTextBase) + "descripteur_temporaire.txt";
  fs::create_symlink(s.path("dehors.txt"), s.path(descriptor));
  s.write("q.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
  const Result r = s.engine({"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "document d'id 1 a 2 mots en commun sur avec votre fichier\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(s.read("dehors.txt"), "dehors");
  EXPECT_FALSE(s.exists(descriptor));
}

// ---- inputs that would block ----

// A FIFO opened for reading waits for a writer that never comes. Each run
// here has a timeout, so a hang fails the test.
e2e::RunOptions timed() {
  e2e::RunOptions o;
  o.timeout_seconds = 30;
  return o;
}

void makeFifo(const Store& s, const std::string& rel) {
  s.remove(rel);
  ASSERT_EQ(::mkfifo(s.path(rel).c_str(), 0644), 0) << rel;
}

TEST(BlockingInputs, AFifoGivenAsTheQueryIsRefusedLikeAnUnreadableQuery) {
  Store s;
  s.write(kBase, textRecord(1, "maison 3 ; jardin 3 ; "));
  makeFifo(s, "q.xml");
  const Result r = s.engine({"comparaison", "texte", "../q.xml"}, timed());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "engine: fichier de requête illisible : ../q.xml\n");
}

TEST(BlockingInputs, AFifoAsTheConfigurationCountsAsUnreadable) {
  Store s(/*with_config=*/false);
  makeFifo(s, e2e::kConfig);
  s.write(kBase, textRecord(1, "maison 3 ; jardin 3 ; "));
  // Two occurrences: below the default threshold of 3, so only "jardin".
  s.write("q.xml", doc(repeat("maison", 2) + repeat("jardin", 3) + repeat("ciel", 3)));
  Result r = s.engine({"comparaison", "texte", "../q.xml"}, timed());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "ERREUR :  PB avec fonction recupParamConfigTexte\n");
  s.write("q.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
  r = s.engine({"comparaison", "texte", "../q.xml"}, timed());
  EXPECT_EQ(r.out, "document d'id 1 a 2 mots en commun sur avec votre fichier\n");
}

TEST(BlockingInputs, AFifoInTheCorpusIsRefusedWithOneLine) {
  Store s;
  addText(s, "a.xml", doc(repeat("maison", 3)));
  makeFifo(s, std::string(e2e::kTexts) + "b.xml");
  addText(s, "c.xml", doc(repeat("jardin", 3)));
  const Result r = s.engine({"indexation"}, timed());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind(kClosing, 0), 0u) << r.out;
  EXPECT_EQ(r.err,
            "engine: ../EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes/b.xml : pas un fichier ordinaire, "
            "ignoré\n");
  EXPECT_EQ(s.read(kBase), textRecord(1, "maison 3 ; ") + textRecord(2, "jardin 3 ; "));
}

// ---- a search waiting at its prompt ----

// "recherche" reads the index and the list under the store lock, then gives
// it back before it asks: a person who does not answer holds up no other
// request.
TEST(SearchLock, AnIndexationCompletesWhileASearchWaitsAtItsPrompt) {
  Store s;
  addText(s, "a.xml", doc(repeat("maison", 3)));
  indexOk(s);
  int answers[2];
  ASSERT_EQ(::pipe2(answers, O_CLOEXEC), 0);
  e2e::ChildOptions o;
  o.cwd = s.path("work");
  o.stdin_fd = answers[0];
  e2e::Child search({e2e::engine_binary(), "recherche", "maison"}, o);
  ::close(answers[0]);
  const std::string prompt = "\na.xml\npour ouvrir le fichier taper: 1 || pour passer au suivant: 0 \n";
  EXPECT_TRUE(search.wait_for_output(prompt, 30)) << search.out();

  addText(s, "b.xml", doc(repeat("maison", 4)));
  e2e::RunOptions timed;
  timed.timeout_seconds = 30;
  const Result indexed = s.engine({"indexation"}, timed);
  EXPECT_EQ(indexed.status, 0) << indexed.err;
  EXPECT_EQ(indexed.out.rfind(kClosing, 0), 0u) << indexed.out;
  EXPECT_EQ(s.read(kBase), textRecord(1, "maison 3 ; ") + textRecord(2, "maison 4 ; "));

  ASSERT_EQ(::write(answers[1], "0\n", 2), 2);
  ::close(answers[1]);
  const Result searched = search.wait(30);
  EXPECT_EQ(searched.status, 0);
  EXPECT_EQ(searched.out, prompt);
  EXPECT_EQ(searched.err, "");
}

// ---- permission bits of the scratch copies ----

// A document readable by its owner alone must not be copied where anyone may
// read it: copies take the source's bits (read and write only), and an older
// copy with wider bits is narrowed.
TEST(ScratchModes, CopiesTakeTheSourcesBitsNeverWider) {
  Store s;
  addText(s, "prive.xml", doc(repeat("secret", 3)));
  addText(s, "groupe.xml", doc(repeat("partage", 3)));
  addText(s, "outil.xml", doc(repeat("outil", 3)));
  setMode(s, std::string(e2e::kTexts) + "groupe.xml", 0640);
  setMode(s, std::string(e2e::kTexts) + "outil.xml", 0755);
  Result r = s.engine({"indexation"});
  ASSERT_EQ(r.status, 0) << r.err;
  // First as readable as usual, then narrowed to the owner alone.
  EXPECT_EQ(modeOf(s, "INDEXATION/temp_txt/cpy/prive.xml"), 0644u);
  setMode(s, std::string(e2e::kTexts) + "prive.xml", 0600);
  r = s.engine({"indexation"});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* dir : {"INDEXATION/temp_txt/cpy/", "INDEXATION/temp_txt/pure_txts/"}) {
    EXPECT_EQ(modeOf(s, std::string(dir) + "prive.xml"), 0600u) << dir;
    EXPECT_EQ(modeOf(s, std::string(dir) + "groupe.xml"), 0640u) << dir;
    EXPECT_EQ(modeOf(s, std::string(dir) + "outil.xml"), 0644u) << dir;  // never executable
  }
  EXPECT_EQ(s.read("INDEXATION/temp_txt/cpy/prive.xml"), doc(repeat("secret", 3)));

  // The query's copies too.
  s.write("q.xml", doc(repeat("secret", 3)));
  setMode(s, "q.xml", 0600);
  r = s.engine({"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(modeOf(s, "INDEXATION/temp_txt/cpy/q.xml"), 0600u);
  EXPECT_EQ(modeOf(s, "INDEXATION/temp_txt/pure_txts/q.xml"), 0600u);
}

}  // namespace
