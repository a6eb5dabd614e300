#include "wordprobe/wordprobe.h"

#include <gtest/gtest.h>

#include "store/fault_env.h"
#include "tests/support/temp_store.h"

namespace wordprobe {
namespace {

const char kBase[] = "EXTERN_FILES/database/base_texte/base_descripteur_texte.txt";
const char kScratch[] = "EXTERN_FILES/database/base_texte/temp.txt";

// The probe root is the store's root: the store seen from there.
store::Store rooted(const testing_support::TempStore& s, store::Env* env = store::Env::Default()) {
  return store::Store(env, s.root());
}

TEST(WordprobeRun, PrintsTheProbeAndLeavesTheLastLineInTheScratchFile) {
  testing_support::TempStore s;
  s.write(kBase, "a 1\nmilliards 9\n");
  output::StringSink sink("wordprobe");
  EXPECT_EQ(run(rooted(s), sink), 0);
  EXPECT_EQ(sink.out_text(), "2 \n************ \nl'id est : 1\n 9\n \n");
  EXPECT_EQ(sink.err_text(), "");
  EXPECT_EQ(s.read(kScratch), "milliards 9\n");
}

TEST(WordprobeRun, NoBaseSaysNothing) {
  testing_support::TempStore s;
  output::StringSink sink("wordprobe");
  EXPECT_EQ(run(rooted(s), sink), 0);
  EXPECT_EQ(sink.out_text(), "");
  EXPECT_EQ(sink.err_text(), "");
  EXPECT_FALSE(s.exists(kScratch));
}

TEST(WordprobeRun, AScratchFileThatCannotBeWrittenIsOneLineWithItsCause) {
  testing_support::TempStore s;
  s.write(kBase, "milliards 2\n");
  store::FaultEnv fault(store::Env::Default());
  fault.FailNth(store::FaultEnv::Op::kWrite, 1, ENOSPC);
  output::StringSink sink("wordprobe");
  EXPECT_EQ(run(rooted(s, &fault), sink), 0);
  EXPECT_EQ(sink.out_text(), "1 \n************ \nl'id est : 0\n 2\n \n");
  EXPECT_EQ(sink.err_text(), "wordprobe: impossible d'écrire " + s.path(kScratch) + " : No space left on device\n");
}

}  // namespace
}  // namespace wordprobe
