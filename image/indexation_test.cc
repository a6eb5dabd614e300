#include "image/indexation.h"

#include <cerrno>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "image/messages.h"
#include "store/commit.h"
#include "store/fault_env.h"
#include "tests/support/temp_store.h"

using namespace image;
using store::FaultEnv;

namespace {

const std::string kRgb = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_RGB/";
const std::string kNb = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_NB/";
const std::string kList = "EXTERN_FILES/database/base_image/liste_base_image.txt";
const std::string kBase = "EXTERN_FILES/database/base_image/base_descripteur_image.txt";
const std::string kRanked = "EXTERN_FILES/database/base_image/classement_image.idx";

// A store indexed once with two images, whose corpus then changes so that a
// second indexation would give other bases.
class ImageIndexation : public testing::Test {
 protected:
  void SetUp() override {
    t.write(kRgb + "c.txt", "1 1 3 255 0 0");
    t.write(kNb + "g.txt", "1 2 1 0 255");
    output::StringSink sink;
    ASSERT_EQ(indexImage(t.store(), sink), 0) << sink.err_text();
    list = t.read(kList);
    base = t.read(kBase);
    ranked = t.read(kRanked);
    t.write(kNb + "h.txt", "1 1 1 128");
  }
  void expectOldBases() const {
    EXPECT_EQ(t.read(kList), list);
    EXPECT_EQ(t.read(kBase), base);
    EXPECT_EQ(t.read(kRanked), ranked);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.path("EXTERN_FILES/database/base_image")),
                            std::filesystem::directory_iterator()),
              3);
  }

  testing_support::TempStore t;
  std::string list, base, ranked;
};

}  // namespace

TEST_F(ImageIndexation, WritesTheListAndTheBase) {
  EXPECT_EQ(list,
            "<id> 0 </id> <fichier> c.txt </fichier> <type> RGB </type>\n"
            "<id> 1 </id> <fichier> g.txt </fichier> <type> NB </type>\n");
  EXPECT_EQ(base,
            "NB_BIT_RGB: 3\nNB_BIT_NB: 4\n"
            "<id> 0 </id>\n<type> RGB </type>\n<nbcolonne> 1 </nbcolonne>\n<nbligne> 1 </nbligne>\n"
            "<nbvaleur> 1 </nbvaleur>\n<valeurs>\n0x01c0: 1;\n</valeurs>\n\n"
            "<id> 1 </id>\n<type> NB </type>\n<nbcolonne> 2 </nbcolonne>\n<nbligne> 1 </nbligne>\n"
            "<nbvaleur> 2 </nbvaleur>\n<valeurs>\n0x00: 1;\n0x0f: 1;\n</valeurs>\n\n");
  output::StringSink sink;
  t.write(kNb + "bad.txt", "1 2 1 7");
  EXPECT_EQ(indexImage(t.store(), sink), 0);
  EXPECT_EQ(sink.out_text(), std::string(kMsgPasAssezDeValeurs) +
                                 msgErreurLecture("../" + kNb + "bad.txt") + std::string(kMsgIndexationFinie));
  EXPECT_EQ(sink.err_text(), "");
  EXPECT_NE(t.read(kList).find("h.txt"), std::string::npos);
}

TEST_F(ImageIndexation, AFailedWriteOrRenameLeavesTheOldBasesWhole) {
  struct Case {
    FaultEnv::Op op;
    int nth;
    int error;
    const char* cause;
  };
  const Case cases[] = {
      {FaultEnv::Op::kWrite, 1, ENOSPC, "No space left on device"},  // creating the first staged file
      {FaultEnv::Op::kWrite, 4, ENOSPC, "No space left on device"},  // appending to the second
      {FaultEnv::Op::kSync, 2, EIO, "Input/output error"},
      {FaultEnv::Op::kRename, 1, EIO, "Input/output error"},  // the commit record
  };
  for (const Case& c : cases) {
    FaultEnv env(store::Env::Default());
    env.FailNth(c.op, c.nth, c.error);
    output::StringSink sink;
    EXPECT_EQ(indexImage(t.store(&env), sink), 1) << c.cause;
    expectOldBases();
    EXPECT_EQ(sink.out_text().find("Indexation image"), std::string::npos) << sink.out_text();
    // One line naming the failure and its cause.
    const std::string& err = sink.err_text();
    EXPECT_EQ(err.rfind("engine: impossible d'écrire la base d'images : ", 0), 0u) << err;
    EXPECT_NE(err.find(c.cause), std::string::npos) << err;
    EXPECT_NE(err.find("base_image/"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
}

TEST_F(ImageIndexation, StagingNamesThatAreLinksAreNeverWrittenThrough) {
  t.write("outside", "not the engine's");
  for (const char* staged : {".liste_base_image.txt.new", ".base_descripteur_image.txt.new"})
    std::filesystem::create_symlink(t.path("outside"), t.path("EXTERN_FILES/database/base_image/") + staged);
  output::StringSink sink;
  EXPECT_EQ(indexImage(t.store(), sink), 0) << sink.err_text();
  EXPECT_EQ(t.read("outside"), "not the engine's");
  EXPECT_NE(t.read(kList).find("h.txt"), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.path("EXTERN_FILES/database/base_image")),
                          std::filesystem::directory_iterator()),
            3);
}

TEST_F(ImageIndexation, NoBaseDirectoryNoBase) {
  std::filesystem::remove_all(t.path("EXTERN_FILES/database/base_image"));
  output::StringSink sink;
  EXPECT_EQ(indexImage(t.store(), sink), 1);
  EXPECT_EQ(sink.out_text(), "");
  EXPECT_EQ(sink.err_text(),
            "engine: " + rptBaseIntrouvable("../EXTERN_FILES/database/base_image/") + "\n");
  EXPECT_FALSE(t.exists("EXTERN_FILES/database/base_image"));
}

namespace {

// The real file system, with only `free_bytes` left for the store.
class FullDiskEnv : public FaultEnv {
 public:
  explicit FullDiskEnv(uint64_t free_bytes) : FaultEnv(store::Env::Default()), free_(free_bytes) {}
  store::Status FreeSpace(const std::string&, uint64_t* bytes) override {
    *bytes = free_;
    return store::Status();
  }

 private:
  uint64_t free_;
};

}  // namespace

TEST_F(ImageIndexation, ABaseThatCannotFitIsRefusedBeforeAnyWrite) {
  FullDiskEnv full(100);
  output::StringSink sink;
  EXPECT_EQ(indexImage(t.store(&full), sink), 1);
  expectOldBases();
  EXPECT_EQ(full.changes(), 0);
  EXPECT_EQ(sink.out_text().find("Indexation image"), std::string::npos) << sink.out_text();

  // The line names the size of the planned base: the list, base and ranked
  // file written once the room is there.
  FullDiskEnv roomy(1 << 30);
  output::StringSink done;
  ASSERT_EQ(indexImage(t.store(&roomy), done), 0) << done.err_text();
  const size_t planned = t.read(kList).size() + t.read(kBase).size() + t.read(kRanked).size();
  const std::string& err = sink.err_text();
  EXPECT_EQ(err.rfind("engine: place insuffisante pour la base d'images : ", 0), 0u) << err;
  EXPECT_NE(err.find(std::to_string(planned) + " bytes needed, 100 bytes free"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST_F(ImageIndexation, PathsInMessagesOnATerminalAreEscaped) {
  class TerminalSink : public output::StringSink {
   public:
    bool out_is_terminal() const override { return true; }
  };
  t.write(kRgb + "a\x1b[2J.txt", "1 1 2 0 0");   // unknown kind
  t.write(kRgb + "b\x07.txt", "1 2 3 1");        // short body
  std::filesystem::create_symlink("nowhere", t.path(kRgb + "c\x1b.txt"));  // cannot be opened
  const std::string dir = "../" + kRgb;
  TerminalSink terminal;
  EXPECT_EQ(indexImage(t.store(), terminal), 0);
  EXPECT_EQ(terminal.out_text(), msgTypeInconnu(dir + "a\\x1b[2J.txt") + std::string(kMsgPasAssezDeValeurs) +
                                     msgErreurLecture(dir + "b\\x07.txt") + std::string(kMsgOuvertureFichier) +
                                     msgOuvertureImpossible(dir + "c\\x1b.txt") + std::string(kMsgIndexationFinie));
  output::StringSink file;
  EXPECT_EQ(indexImage(t.store(), file), 0);
  EXPECT_EQ(file.out_text(), msgTypeInconnu(dir + "a\x1b[2J.txt") + std::string(kMsgPasAssezDeValeurs) +
                                 msgErreurLecture(dir + "b\x07.txt") + std::string(kMsgOuvertureFichier) +
                                 msgOuvertureImpossible(dir + "c\x1b.txt") + std::string(kMsgIndexationFinie));
}

TEST_F(ImageIndexation, ACrashAtAnyChangeLeavesBothBasesOldOrBothNew) {
  // The bytes of an indexation that runs to its end, and how many changes it makes.
  int changes = 0;
  std::string newList, newBase, newRanked;
  {
    testing_support::TempStore twin;
    twin.write(kRgb + "c.txt", t.read(kRgb + "c.txt"));
    twin.write(kNb + "g.txt", t.read(kNb + "g.txt"));
    twin.write(kNb + "h.txt", t.read(kNb + "h.txt"));
    FaultEnv counting(store::Env::Default());
    output::StringSink sink;
    ASSERT_EQ(indexImage(twin.store(&counting), sink), 0);
    changes = counting.changes();
    newList = twin.read(kList);
    newBase = twin.read(kBase);
    newRanked = twin.read(kRanked);
  }
  ASSERT_GT(changes, 2);
  ASSERT_NE(newList, list);
  int oldSeen = 0, newSeen = 0;
  for (int n = 1; n <= changes + 1; ++n) {
    testing_support::TempStore crashed;
    crashed.write(kList, list);
    crashed.write(kBase, base);
    crashed.write(kRanked, ranked);
    crashed.write(kRgb + "c.txt", t.read(kRgb + "c.txt"));
    crashed.write(kNb + "g.txt", t.read(kNb + "g.txt"));
    crashed.write(kNb + "h.txt", t.read(kNb + "h.txt"));
    FaultEnv env(store::Env::Default());
    env.CrashAt(n);
    output::StringSink sink;
    indexImage(crashed.store(&env), sink);

    // What the next request does first.
    std::unique_ptr<store::Directory> dir;
    ASSERT_TRUE(store::Env::Default()->OpenDirectory(crashed.path("EXTERN_FILES/database/base_image"), &dir).ok());
    ASSERT_TRUE(store::Recover(dir.get()).ok()) << n;
    const std::string l = crashed.read(kList), b = crashed.read(kBase), r = crashed.read(kRanked);
    if (l == list && b == base && r == ranked) {
      ++oldSeen;
    } else {
      EXPECT_EQ(l, newList) << "crash at change " << n;
      EXPECT_EQ(b, newBase) << "crash at change " << n;
      EXPECT_EQ(r, newRanked) << "crash at change " << n;
      ++newSeen;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(crashed.path("EXTERN_FILES/database/base_image")),
                            std::filesystem::directory_iterator()),
              3)
        << n;
  }
  EXPECT_GT(oldSeen, 0);
  EXPECT_GT(newSeen, 0);
}
