#include "wordprobe/options.h"

#include <gtest/gtest.h>

using wordprobe::Options;

TEST(WordprobeOptions, RootHelpVersionAndIgnoredWords) {
  EXPECT_EQ(wordprobe::ParseOptions({}).action, Options::Action::kProbe);
  EXPECT_EQ(wordprobe::ParseOptions({"extra", "words"}).action, Options::Action::kProbe);
  const Options root = wordprobe::ParseOptions({"--root", "/srv/store"});
  EXPECT_EQ(root.action, Options::Action::kProbe);
  EXPECT_EQ(root.root, "/srv/store");
  EXPECT_EQ(wordprobe::ParseOptions({"--root"}).action, Options::Action::kUsage);
  EXPECT_EQ(wordprobe::ParseOptions({"--root", "x", "-h"}).action, Options::Action::kHelp);
  EXPECT_EQ(wordprobe::ParseOptions({"--version"}).action, Options::Action::kVersion);
  EXPECT_EQ(wordprobe::ParseOptions({"--", "--help"}).action, Options::Action::kProbe);
}
