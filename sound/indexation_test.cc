#include "sound/indexation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "sound/terminal_sink.h"
#include "sound/test_matrices.h"
#include "store/commit.h"
#include "store/fault_env.h"
#include "tests/support/temp_store.h"

namespace sound {
namespace {

using testing::samples;

constexpr const char kCorpus[] = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_SON/";
constexpr const char kBaseDir[] = "EXTERN_FILES/database/base_son/";
constexpr const char kList[] = "EXTERN_FILES/database/base_son/Liste_Base_Son.txt";
constexpr const char kDescriptors[] = "EXTERN_FILES/database/base_son/base_descripteur_son.txt";
constexpr const char kConfig[] = "EXTERN_FILES/configuration.config";

// A store configured with E = 4, n = 2 and one indexed sound, old.bin.
struct Indexed {
  testing_support::TempStore s;
  std::string list, descriptors;

  Indexed() {
    s.write(kConfig, "echantillons: 4 nbintervalles: 2");
    s.write(std::string(kCorpus) + "old.bin", samples({0.5, 0.5, -0.5}));
    output::StringSink sink;
    EXPECT_EQ(resetAndIndex(s.store(), sink), 0) << sink.err_text();
    list = s.read(kList);
    descriptors = s.read(kDescriptors);
    // The corpus changes: the next indexation would give new bases.
    s.write(std::string(kCorpus) + "new.bin", samples({0.5, -0.5, 0.25, 0.75, -0.9}));
  }

  // Both bases exactly as the first indexation left them, nothing staged.
  void expect_old_bases() const {
    const std::string now_list = s.read(kList), now_descriptors = s.read(kDescriptors);
    EXPECT_TRUE(now_list == list) << now_list.size() << " bytes of list";
    EXPECT_TRUE(now_descriptors == descriptors) << now_descriptors.size() << " bytes of base";
    for (const char* left : {".Liste_Base_Son.txt.new", ".base_descripteur_son.txt.new", ".commit"})
      EXPECT_FALSE(s.exists(std::string(kBaseDir) + left)) << left;
  }
};

TEST(SoundIndexation, WritesBothBasesAndOneLinePerSound) {
  Indexed x;
  EXPECT_EQ(x.list, "<id> 0 </id><fichier> old.bin </fichier>\n");
  EXPECT_EQ(x.descriptors, "4 2\n<id> 0 </id>\n<fenetre> 1 2 0  </fenetre>\n");
  output::StringSink sink;
  EXPECT_EQ(resetAndIndex(x.s.store(), sink), 0);
  EXPECT_EQ(sink.out_text(),
            "Le fichier new.bin à été indexé !\n\nLe fichier old.bin à été indexé !\n\n");
  EXPECT_EQ(sink.err_text(), "");
  EXPECT_EQ(x.s.read(kList),
            "<id> 0 </id><fichier> new.bin </fichier>\n<id> 1 </id><fichier> old.bin </fichier>\n");
}

TEST(SoundIndexation, AFailedWriteOrRenameKeepsTheOldBasesWhole) {
  struct Case {
    store::FaultEnv::Op op;
    int nth;
    int error;
    const char* cause;
  };
  const Case cases[] = {
      {store::FaultEnv::Op::kWrite, 1, ENOSPC, "No space left on device"},
      {store::FaultEnv::Op::kWrite, 2, EIO, "Input/output error"},
      {store::FaultEnv::Op::kSync, 1, EIO, "Input/output error"},
      {store::FaultEnv::Op::kRename, 1, EACCES, "Permission denied"},
  };
  for (const Case& c : cases) {
    Indexed x;
    store::FaultEnv env(store::Env::Default());
    env.FailNth(c.op, c.nth, c.error);
    output::StringSink sink;
    EXPECT_EQ(resetAndIndex(x.s.store(&env), sink), 1) << c.cause;
    x.expect_old_bases();
    // One line naming the failure and its cause; no sound announced.
    EXPECT_EQ(sink.err_text().rfind("engine: base son non écrite : ", 0), 0u) << sink.err_text();
    EXPECT_NE(sink.err_text().find(" : " + std::string(c.cause) + "\n"), std::string::npos)
        << sink.err_text();
    EXPECT_EQ(sink.err_text().find(x.s.root()), std::string::npos) << sink.err_text();
    EXPECT_EQ(std::count(sink.err_text().begin(), sink.err_text().end(), '\n'), 1);
    EXPECT_EQ(sink.out_text().find("indexé"), std::string::npos) << sink.out_text();
  }
}

TEST(SoundIndexation, AMissingBaseDirectoryIsOneLine) {
  testing_support::TempStore s;
  s.write(std::string(kCorpus) + "a.bin", samples({0.5}));
  const store::Store store = s.store();
  ASSERT_EQ(::rmdir(s.path(kBaseDir).c_str()), 0);
  output::StringSink sink;
  EXPECT_EQ(resetAndIndex(store, sink), 1);
  EXPECT_EQ(sink.err_text(),
            "engine: répertoire de la base son absent : ../EXTERN_FILES/database/base_son/\n");
  EXPECT_EQ(sink.out_text(), "");
}

// A kill at every change the indexation makes to the disk, in turn, then the
// recovery every request starts with: the list and the descriptor base are
// both old or both new, and the next indexation gives the new bytes.
TEST(SoundIndexation, AKillAtAnyChangeLeavesBothBasesOldOrBothNew) {
  std::string new_list, new_descriptors;
  int changes = 0;
  {
    Indexed x;
    store::FaultEnv counting(store::Env::Default());
    output::StringSink sink;
    ASSERT_EQ(resetAndIndex(x.s.store(&counting), sink), 0);
    changes = counting.changes();
    new_list = x.s.read(kList);
    new_descriptors = x.s.read(kDescriptors);
    ASSERT_NE(new_list, x.list);
    ASSERT_NE(new_descriptors, x.descriptors);
  }
  ASSERT_GT(changes, 5);
  int olds = 0, news = 0;
  for (int n = 1; n <= changes; ++n) {
    Indexed x;
    store::FaultEnv env(store::Env::Default());
    env.CrashAt(n);
    output::StringSink killed;
    resetAndIndex(x.s.store(&env), killed);
    std::unique_ptr<store::Directory> dir;
    ASSERT_TRUE(store::Env::Default()->OpenDirectory(x.s.path(kBaseDir), &dir).ok());
    ASSERT_TRUE(store::Recover(dir.get()).ok()) << n;
    const std::string list = x.s.read(kList), descriptors = x.s.read(kDescriptors);
    if (list == x.list && descriptors == x.descriptors) {
      ++olds;
    } else {
      EXPECT_EQ(list, new_list) << "kill at change " << n;
      EXPECT_EQ(descriptors, new_descriptors) << "kill at change " << n;
      ++news;
    }
    output::StringSink again;
    ASSERT_EQ(resetAndIndex(x.s.store(), again), 0) << again.err_text();
    EXPECT_EQ(x.s.read(kList), new_list);
    EXPECT_EQ(x.s.read(kDescriptors), new_descriptors);
  }
  EXPECT_GT(olds, 0);
  EXPECT_GT(news, 0);
}

// A sound whose rows could pass the text held for one batch is written as
// it is read; a read error then leaves a partial record staged, so the new
// bases are given up and the old ones stay.
TEST(SoundIndexation, AReadErrorInASoundWrittenAsItIsReadKeepsTheOldBases) {
  Indexed x;
  // One sample per window and 8192 intervals: 16 KB of rows per sample, so
  // 5000 samples (40 KB of sound) are far past a batch.
  x.s.write(kConfig, "echantillons: 1 nbintervalles: 8192");
  x.s.write(std::string(kCorpus) + "z.bin", samples(std::vector<double>(5000, 5.0)));
  int reads = 0;
  {
    Indexed y;
    y.s.write(kConfig, "echantillons: 1 nbintervalles: 8192");
    y.s.write(std::string(kCorpus) + "z.bin", samples(std::vector<double>(5000, 5.0)));
    store::FaultEnv counting(store::Env::Default());
    output::StringSink sink;
    ASSERT_EQ(resetAndIndex(y.s.store(&counting), sink), 0) << sink.err_text();
    EXPECT_GT(y.s.read(kDescriptors).size(), size_t{5000} * 2 * 8193);
    reads = counting.calls(store::FaultEnv::Op::kRead);
  }
  // The last read of the run is the end of z.bin, the sound written as it
  // is read (new.bin and old.bin, batched, are read before it).
  store::FaultEnv env(store::Env::Default());
  env.FailNth(store::FaultEnv::Op::kRead, reads, EIO);
  output::StringSink sink;
  EXPECT_EQ(resetAndIndex(x.s.store(&env), sink), 1);
  x.expect_old_bases();
  EXPECT_EQ(sink.err_text(), "engine: base son non écrite : ../EXTERN_FILES/base_files/"
                             "DATA_VELMORANE_DEV/TEST_SON/z.bin : Input/output error\n");
  EXPECT_EQ(sink.out_text(), "");
}

// Names go to standard output unchanged for a program, escaped for a
// terminal, whose control sequences a name could otherwise hold.
TEST(SoundIndexation, NamesAreEscapedOnATerminalOnly) {
  const std::string name = "\x1b]0;owned\x07\x1b[2J.bin";
  for (const bool terminal : {false, true}) {
    testing_support::TempStore s;
    s.write(kConfig, "echantillons: 4 nbintervalles: 2");
    s.write(std::string(kCorpus) + name, samples({0.5}));
    testing::TerminalSink tty;
    output::StringSink pipe;
    output::StringSink& sink = terminal ? tty : pipe;
    EXPECT_EQ(resetAndIndex(s.store(), sink), 0);
    EXPECT_EQ(sink.out_text(),
              "Le fichier " +
                  (terminal ? std::string("\\x1b]0;owned\\x07\\x1b[2J.bin") : name) +
                  " à été indexé !\n\n");
    // The bases hold the name as it is.
    EXPECT_EQ(s.read(kList), "<id> 0 </id><fichier> " + name + " </fichier>\n");
  }
}

// An Env whose file systems have `free` bytes left.
class SmallDisk : public store::FaultEnv {
 public:
  explicit SmallDisk(uint64_t free) : FaultEnv(store::Env::Default()), free_(free) {}
  store::Status FreeSpace(const std::string&, uint64_t* bytes) override {
    *bytes = free_;
    return store::Status();
  }

 private:
  uint64_t free_;
};

TEST(SoundIndexation, ABaseThatCannotFitIsRefusedBeforeItIsWritten) {
  Indexed x;
  // What the new bases take: the plan must not ask for more.
  uint64_t needed = 0;
  {
    Indexed y;
    output::StringSink sink;
    ASSERT_EQ(resetAndIndex(y.s.store(), sink), 0);
    needed = y.s.read(kList).size() + y.s.read(kDescriptors).size();
  }
  SmallDisk enough(needed);
  output::StringSink fits;
  EXPECT_EQ(resetAndIndex(x.s.store(&enough), fits), 0) << fits.err_text();

  Indexed z;
  SmallDisk small(40);
  output::StringSink sink;
  EXPECT_EQ(resetAndIndex(z.s.store(&small), sink), 1);
  z.expect_old_bases();
  EXPECT_EQ(small.calls(store::FaultEnv::Op::kWrite), 0);
  EXPECT_EQ(sink.out_text(), "");
  const std::string& err = sink.err_text();
  EXPECT_EQ(err.rfind("engine: base son non écrite : ", 0), 0u) << err;
  EXPECT_NE(err.find("base_son/ : "), std::string::npos) << err;
  EXPECT_NE(err.find(" bytes needed, 40 bytes free\n"), std::string::npos) << err;
  EXPECT_EQ(err.find(z.s.root()), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
}

}  // namespace
}  // namespace sound
