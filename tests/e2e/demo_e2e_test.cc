// The demo store and the answers tools/gen_demo.py predicts for it: a fresh
// store is generated in a temporary directory, the engine runs there as
// tools/demo.sh runs it, and every answer is the predicted one. The demo/
// shipped in the source tree is the same bytes as a fresh generation.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "common/paths.h"
#include "image/messages.h"
#include "keyword/messages.h"
#include "sound/messages.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/text_fixtures.h"
#include "text/messages.h"
#include "wordprobe/messages.h"

#ifndef DEMO_DIR
#error "DEMO_DIR must name the demo store of the source tree"
#endif
#ifndef GEN_DEMO
#error "GEN_DEMO must name tools/gen_demo.py"
#endif
#ifndef WORDPROBE_E2E_PROBE
#error "WORDPROBE_E2E_PROBE must name the probe whose root is its working directory"
#endif

namespace fs = std::filesystem;
using e2e::Result;
using e2e::RunOptions;
using e2e::Store;
using json = nlohmann::json;

namespace {

constexpr const char kPython[] = "/usr/bin/python3";

// The directories gen_demo.py fills, relative to a store's root.
const std::vector<std::string> kGenerated = {e2e::kTexts, e2e::kRgb, e2e::kNb, e2e::kSounds, "queries/"};

RunOptions In(const std::string& cwd, const std::string& stdin_data = "") {
  RunOptions o;
  o.cwd = cwd;
  o.stdin_data = stdin_data;
  return o;
}

// "%f" in the C locale.
std::string Seconds(double value) {
  char text[512];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6).ptr;
  return std::string(text, end);
}

// A fresh demo store in "demo/" of a temporary store, and its predictions.
class Demo : public testing::Test {
 protected:
  void SetUp() override {
    if (::access(kPython, X_OK) != 0) GTEST_SKIP() << kPython << " is missing";
    const Result made =
        s.run(kPython, {GEN_DEMO, "--root", s.path("demo"), "--predictions", s.path("predictions.json")}, In(""));
    ASSERT_EQ(made.status, 0) << made.err;
    ASSERT_EQ(made.err, "");
    predicted = json::parse(s.read("predictions.json"));
  }

  Result engine(const std::vector<std::string>& words, const std::string& stdin_data = "") const {
    return s.engine(words, In("demo/work", stdin_data));
  }

  Store s;
  json predicted;
};

// Names of the visible regular files of `dir`, sorted.
std::vector<std::string> FilesOf(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file() && e.path().filename().string()[0] != '.') names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

}  // namespace

TEST_F(Demo, TheShippedDemoIsAFreshGeneration) {
  for (const std::string& dir : kGenerated) {
    const fs::path shipped = fs::path(DEMO_DIR) / dir, fresh = fs::path(s.path("demo")) / dir;
    const std::vector<std::string> names = FilesOf(fresh);
    EXPECT_FALSE(names.empty()) << dir;
    EXPECT_EQ(FilesOf(shipped), names) << dir;
    for (const std::string& name : names)
      EXPECT_TRUE(Slurp(shipped / name) == Slurp(fresh / name)) << dir << name << " differs: run tools/gen_demo.py";
  }
  // A complete store: the engine needs no other directory.
  for (const char* dir : {paths::kTextBaseDir, paths::kImageBaseDir, paths::kSoundBaseDir, paths::kIndexationRoot})
    EXPECT_TRUE(s.exists("demo/" + e2e::inStore(dir))) << dir;
  EXPECT_TRUE(s.exists("demo/work"));
}

TEST_F(Demo, TheEngineAnswersAsPredicted) {
  // The first run makes the configuration file, as on the shipped demo.
  Result r = engine({"indexation"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find(text::messages::kClosing), std::string::npos) << r.out;

  std::string base;
  for (const json& d : predicted["text_descriptors"]) {
    std::string words;
    for (const json& w : d["words"]) words += w[0].get<std::string>() + " " + std::to_string(w[1].get<int>()) + " ; ";
    base += e2e::textRecord(d["id"].get<int>(), words);
  }
  EXPECT_EQ(s.read("demo/" + e2e::inStore(paths::kTextDescriptors)), base);

  const json& text = predicted["text_comparison"];
  std::string expected;
  for (const json& d : text["documents"]) {
    char line[200];
    std::snprintf(line, sizeof line, text::messages::kReportLine, d["id"].get<int>(), d["shared"].get<int>());
    expected += line;
  }
  r = engine({"comparaison", "texte", text["query"].get<std::string>()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, expected);

  ASSERT_EQ(predicted["image_searches"].size(), 2u);
  for (const json& search : predicted["image_searches"]) {
    const std::string query = search["query"].get<std::string>();
    expected = image::msgRequete(query);
    for (const json& i : search["results"])
      expected += image::msgResultat(i["name"].get<std::string>(), i["id"].get<int>(), i["score"].get<int>());
    r = engine({"comparaison", "image", query});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, expected);
  }

  namespace sm = sound::messages;
  const json& sound = predicted["sound_comparison"];
  expected = std::string(sm::kRequestHead) + sound["query"].get<std::string>() + "\n";
  ASSERT_FALSE(sound["found"].empty());
  for (const json& f : sound["found"]) {
    const std::string name = f["name"].get<std::string>();
    for (const json& at : f["instants"])
      expected += std::string(sm::kFoundHead) + name + std::string(sm::kFoundMiddle) + Seconds(at.get<double>()) +
                  std::string(sm::kFoundTail);
    expected += std::string(sm::kSpanHead) + name + std::string(sm::kSpanMiddle) + Seconds(f["span"][0].get<double>()) +
                std::string(sm::kSpanBetween) + Seconds(f["span"][1].get<double>()) + std::string(sm::kSpanTail);
  }
  r = engine({"comparaison", "son", sound["query"].get<std::string>()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, expected);

  // Every offer to open a document is answered 0.
  const json& search = predicted["keyword_search"];
  expected.clear();
  for (const json& name : search["documents"])
    expected += "\n" + name.get<std::string>() + "\n" + std::string(keyword::messages::kPrompt);
  std::string answers;
  for (size_t i = 0; i < search["documents"].size(); ++i) answers += "0\n";
  r = engine({"recherche", search["word"].get<std::string>()}, answers);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, expected);

  // The probe of this store (its root is where it starts).
  const json& probe = predicted["word_probe"];
  ASSERT_EQ(probe["word"], "milliards");
  expected = std::to_string(probe["lines"].get<int>()) + " \n";
  for (const json& hit : probe["hits"])
    expected += std::string(wordprobe::messages::kMatch) + std::string(wordprobe::messages::kLineIndex) +
                std::to_string(hit["line"].get<int>()) + "\n " + std::to_string(hit["count"].get<int>()) + " \n";
  r = s.run(WORDPROBE_E2E_PROBE, {}, In("demo"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, expected);
}
