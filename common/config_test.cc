#include "common/config.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/support/temp_store.h"

TEST(Config, DefaultIsThirteenLinesWithoutAFinalLineFeed) {
  EXPECT_EQ(config::kDefault.size(), 131u);
  EXPECT_EQ(config::kDefault.substr(0, 6), "<txt>\n");
  EXPECT_EQ(config::kDefault.substr(123), "</image>");
}

TEST(Config, ValueAfterTakesTheTokenAfterTheFirstKey) {
  EXPECT_EQ(config::ValueAfter(config::kDefault, "txt_nboccurrences:"), "3");
  EXPECT_EQ(config::ValueAfter("k: 1 k: 2", "k:"), "1");
  EXPECT_EQ(config::ValueAfter("a k:", "k:"), std::nullopt);
  EXPECT_EQ(config::ValueAfter("xk: 1", "k:"), std::nullopt);
}

TEST(Config, EnsureCreatesOnlyAMissingFile) {
  testing_support::TempStore s(/*with_config=*/false);
  const store::Store store = s.store();
  output::StringSink sink;
  ASSERT_TRUE(config::Ensure(store, sink));
  EXPECT_EQ(s.read("EXTERN_FILES/configuration.config"), config::kDefault);
  EXPECT_EQ(sink.out_text(), config::kCreated);

  s.write("EXTERN_FILES/configuration.config", "edited");
  ::chmod(s.path("EXTERN_FILES/configuration.config").c_str(), 0);
  output::StringSink again;
  ASSERT_TRUE(config::Ensure(store, again));
  EXPECT_EQ(again.out_text(), "");
  ::chmod(s.path("EXTERN_FILES/configuration.config").c_str(), 0644);
  EXPECT_EQ(s.read("EXTERN_FILES/configuration.config"), "edited");
}

TEST(Config, ACreationThatFailsSaysWhyAndCreatesNothing) {
  testing_support::TempStore s(/*with_config=*/false);
  store::FaultEnv env(store::Env::Default());
  env.FailNth(store::FaultEnv::Op::kRename, 1, EROFS);
  output::StringSink sink;
  EXPECT_FALSE(config::Ensure(s.store(&env), sink));
  EXPECT_EQ(sink.out_text(), "");
  EXPECT_NE(sink.err_text().find("Read-only file system"), std::string::npos);
  EXPECT_FALSE(s.exists("EXTERN_FILES/configuration.config"));
  EXPECT_FALSE(s.exists("EXTERN_FILES/.configuration.config.new"));
}
