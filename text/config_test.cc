#include "text/config.h"

#include <gtest/gtest.h>

#include "store/fault_env.h"
#include "tests/support/temp_store.h"

namespace text {
namespace {

const char kDefaultConfig[] =
    "<txt>\ntxt_nboccurrences: 3\n</txt>\n\n<sound>\nechantillons: 2048\nnbintervalles: 40\n"
    "</sound>\n\n<image>\nNbBit_NB: 4\nNbBit_RGB: 3\n</image>";

TEST(TextThreshold, TokenAfterTheKeyReadAsAtol) {
  EXPECT_EQ(recupParamConfigTexte(kDefaultConfig), 3);
  std::string zero = kDefaultConfig;
  zero.replace(zero.find(": 3"), 3, ": 0");
  EXPECT_EQ(recupParamConfigTexte(zero), 0);
  EXPECT_EQ(recupParamConfigTexte("txt_nboccurrences: -2 echantillons: 2048"), -2);
  EXPECT_EQ(recupParamConfigTexte("echantillons: 9 txt_nboccurrences: 5x"), 5);
  EXPECT_EQ(recupParamConfigTexte("txt_nboccurrences: abc 7"), 0);
  EXPECT_EQ(recupParamConfigTexte("txt_nboccurrences: +12"), 12);
  EXPECT_EQ(recupParamConfigTexte("txt_nboccurrences:\n\n\t8"), 8);
}

TEST(TextThreshold, DefaultWhenKeyAbsentOrLast) {
  EXPECT_EQ(recupParamConfigTexte(""), kDefaultThreshold);
  EXPECT_EQ(recupParamConfigTexte("NbBit_NB: 4"), kDefaultThreshold);
  EXPECT_EQ(recupParamConfigTexte("txt_nboccurrences:5"), kDefaultThreshold);   // not the key token
  EXPECT_EQ(recupParamConfigTexte("TXT_NBOCCURRENCES: 5"), kDefaultThreshold);  // case-sensitive
  EXPECT_EQ(recupParamConfigTexte("a: 1 txt_nboccurrences:"), kDefaultThreshold);
  // Only the first key counts.
  EXPECT_EQ(recupParamConfigTexte("txt_nboccurrences: 4 txt_nboccurrences: 6"), 4);
}

TEST(TextThreshold, ReadFromTheStoreOrTheDefault) {
  testing_support::TempStore s;
  int64_t threshold = 0;
  EXPECT_TRUE(readThreshold(s.store(), &threshold));
  EXPECT_EQ(threshold, 3);
  s.write("EXTERN_FILES/configuration.config", "txt_nboccurrences: 7");
  EXPECT_TRUE(readThreshold(s.store(), &threshold));
  EXPECT_EQ(threshold, 7);
  // A file that cannot be read gives the default.
  store::FaultEnv fault(store::Env::Default());
  fault.FailNth(store::FaultEnv::Op::kOpen, 1, EACCES);
  EXPECT_FALSE(readThreshold(s.store(&fault), &threshold));
  EXPECT_EQ(threshold, kDefaultThreshold);
}

}  // namespace
}  // namespace text
