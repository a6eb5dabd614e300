#include "web/params.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "web/reply.h"

namespace web {
namespace {

TEST(Params, Max) {
  size_t max = 99;
  std::string error;
  EXPECT_TRUE(ParseMax(std::nullopt, &max, &error));
  EXPECT_EQ(max, 10u);
  EXPECT_TRUE(ParseMax("0", &max, &error));
  EXPECT_EQ(max, 0u);
  EXPECT_TRUE(ParseMax("100000", &max, &error));
  EXPECT_EQ(max, 100000u);
  for (const char* bad : {"", "-1", "+3", "1e3", "100001", "99999999999999999999", "3 ", "x"}) {
    EXPECT_FALSE(ParseMax(std::string(bad), &max, &error)) << bad;
    EXPECT_FALSE(error.empty());
  }
}

TEST(Params, ItemsAreCanonicalIdentifiersWithTheirSuffix) {
  std::string id, error;
  EXPECT_TRUE(ParseItem("0.png", ".png", &id, &error));
  EXPECT_EQ(id, "0");
  EXPECT_TRUE(ParseItem("123456789012345678.wav", ".wav", &id, &error));
  EXPECT_EQ(id, "123456789012345678");
  EXPECT_TRUE(ParseItem("42", "", &id, &error));
  EXPECT_EQ(id, "42");
  for (const char* bad : {"", ".png", "01.png", "1.PNG", "1.wav", "-1.png", "1x.png", "1234567890123456789.png",
                          "..%2f.png", "1.png.png"}) {
    EXPECT_FALSE(ParseItem(bad, ".png", &id, &error)) << bad;
  }
  EXPECT_FALSE(ParseItem("4.png", "", &id, &error));
  EXPECT_FALSE(ParseItem("a.txt", "", &id, &error));
}

TEST(Params, MotAndNom) {
  std::string value, error;
  EXPECT_FALSE(ParseMot(std::nullopt, &value, &error));
  EXPECT_FALSE(ParseMot(std::string(), &value, &error));
  EXPECT_FALSE(ParseMot(std::string(4097, 'a'), &value, &error));
  EXPECT_TRUE(ParseMot(std::string("été"), &value, &error));
  EXPECT_EQ(value, "été");

  EXPECT_TRUE(ParseNom(std::nullopt, &value, &error));
  EXPECT_EQ(value, "-");
  EXPECT_TRUE(ParseNom(std::string("<img src=x onerror=alert(1)>.txt"), &value, &error));
  EXPECT_EQ(value, "<img src=x onerror=alert(1)>.txt");
  EXPECT_FALSE(ParseNom(std::string(5000, 'n'), &value, &error));
}

TEST(Replies, ErrorsAreOneJsonObjectWithValidUtf8) {
  const Reply r = ErrorReply(400, "fichier \xe9t\xe9 illisible");  // ISO-8859-1 bytes
  EXPECT_EQ(r.status, 400);
  EXPECT_EQ(r.content_type, "application/json");
  const auto j = nlohmann::json::parse(r.body);
  ASSERT_TRUE(j.is_object());
  EXPECT_EQ(j.size(), 1u);
  EXPECT_EQ(j["error"], "fichier été illisible");

  Params params{{"mot", "a"}, {"mot", "b"}};
  EXPECT_EQ(Param(params, "mot"), "a");
  EXPECT_FALSE(Param(params, "max"));
}

}  // namespace
}  // namespace web
