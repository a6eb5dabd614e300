#include "launcher/launcher.h"

#include <gtest/gtest.h>

#include <vector>

using launcher::Kind;

namespace {

launcher::Request parse(std::vector<const char*> words) {
  words.insert(words.begin(), "engine");
  return launcher::parse_request(static_cast<int>(words.size()), words.data());
}

}  // namespace

TEST(ParseRequest, NamesEachRequest) {
  EXPECT_EQ(parse({"indexation"}).kind, Kind::kIndexation);
  EXPECT_EQ(parse({"indexation", "extra", "words"}).kind, Kind::kIndexation);
  auto r = parse({"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(r.kind, Kind::kCompareText);
  EXPECT_EQ(r.argument, "../q.xml");
  EXPECT_EQ(parse({"comparaison", "son", "q.bin"}).kind, Kind::kCompareSound);
  EXPECT_EQ(parse({"comparaison", "image", "q.txt"}).kind, Kind::kCompareImage);
  r = parse({"recherche", "maison"});
  EXPECT_EQ(r.kind, Kind::kSearch);
  EXPECT_EQ(r.argument, "maison");
}

TEST(ParseRequest, AnythingElseIsUsage) {
  EXPECT_EQ(parse({}).kind, Kind::kUsage);
  EXPECT_EQ(parse({"Indexation"}).kind, Kind::kUsage);
  EXPECT_EQ(parse({"comparaison"}).kind, Kind::kUsage);
  EXPECT_EQ(parse({"comparaison", "texte"}).kind, Kind::kUsage);
  EXPECT_EQ(parse({"comparaison", "Texte", "q.xml"}).kind, Kind::kUsage);
  EXPECT_EQ(parse({"comparaison", "sound", "q.bin"}).kind, Kind::kUsage);
  EXPECT_EQ(parse({"recherche"}).kind, Kind::kUsage);
  EXPECT_EQ(parse({"unknown"}).kind, Kind::kUsage);
}
