#include "ranking/options.h"

#include <gtest/gtest.h>

using ranking::Options;

namespace {

bool Parse(std::vector<std::string> words, Options* o, std::string* error = nullptr) {
  std::string ignored;
  return ranking::ParseOptions(words, o, error ? error : &ignored);
}

}  // namespace

TEST(Options, OptionsStandAnywhereAndDashDashEndsThem) {
  Options o;
  ASSERT_TRUE(Parse({"texte", "q.xml"}, &o));
  EXPECT_EQ(o.medium, "texte");
  EXPECT_EQ(o.path, "q.xml");
  EXPECT_EQ(o.max, 10u);
  EXPECT_FALSE(o.json);
  ASSERT_TRUE(Parse({"--json", "son", "--max", "0", "q.bin"}, &o));
  EXPECT_TRUE(o.json);
  EXPECT_EQ(o.max, 0u);
  ASSERT_TRUE(Parse({"image", "q.txt", "--max=3", "--json"}, &o));
  EXPECT_EQ(o.max, 3u);
  ASSERT_TRUE(Parse({"texte", "--", "--json"}, &o));
  EXPECT_EQ(o.path, "--json");
  EXPECT_FALSE(o.json);
  ASSERT_TRUE(Parse({"texte", "-"}, &o));
  EXPECT_EQ(o.path, "-");
}

TEST(Options, BadUsageIsRefusedWithAReason) {
  Options o;
  std::string error;
  EXPECT_FALSE(Parse({}, &o, &error));
  EXPECT_FALSE(Parse({"texte"}, &o, &error));
  EXPECT_FALSE(Parse({"Texte", "q"}, &o, &error));
  EXPECT_NE(error.find("Texte"), std::string::npos);
  EXPECT_FALSE(Parse({"texte", "a", "b"}, &o, &error));
  EXPECT_FALSE(Parse({"texte", "q", "--max"}, &o, &error));
  EXPECT_FALSE(Parse({"texte", "q", "--max", "-1"}, &o, &error));
  EXPECT_FALSE(Parse({"texte", "q", "--max", "2x"}, &o, &error));
  EXPECT_FALSE(Parse({"texte", "q", "--max", "99999999999999999999999"}, &o, &error));
  EXPECT_FALSE(Parse({"texte", "q", "--jsn"}, &o, &error));
  EXPECT_NE(error.find("--jsn"), std::string::npos);
}
