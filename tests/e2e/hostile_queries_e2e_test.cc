// Query paths and searched words that a shell would run or expand, paths
// the system cannot open, and sound queries of a few bytes: each opened or
// looked up as it is, or refused with one escaped line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/e2e/hostile.h"

using namespace e2e::hostile;
using e2e::Result;
using e2e::RunOptions;
using e2e::Store;

namespace {

// A store indexed with one document, image and sound, and the plain queries
// "q.xml", "q.txt" and "q.bin" that match them.
class HostileQueries : public testing::Test {
 protected:
  void SetUp() override {
    s.write(e2e::kConfig, "<sound>\nechantillons: 2048\nnbintervalles: 1\n</sound>");
    textQuery = doc(repeat("maison", 3) + repeat("jardin", 3));
    imageQuery = "2 2 1\n10 20\n30 40\n";
    // Windows: one of 2047 samples out of range, one of 2048 in interval 0.
    std::string sound = soundOf(5.0, 2047) + soundOf(0.5, 2048);
    soundQuery = soundOf(0.5, 1500);
    s.write(kTexts + "a.xml", textQuery);
    s.write(kNb + "g.txt", imageQuery);
    s.write(kSounds + "x.bin", sound);
    ASSERT_EQ(run(s, {"indexation"}).status, 0);
    for (const auto& [medium, ext, content] : media()) {
      s.write("q" + ext, content);
      reference[medium] = run(s, {"comparaison", medium, "../q" + ext});
      ASSERT_EQ(reference[medium].status, 0) << medium;
      ASSERT_EQ(reference[medium].err, "") << medium;
    }
    ASSERT_EQ(reference["texte"].out,
              comparisonLine(1, 2));
    ASSERT_EQ(reference["image"].out,
              image::msgRequete("../q.txt") + image::msgResultat("g.txt", 0, 100));
    ASSERT_NE(reference["son"].out.find(std::string(sound::messages::kFoundHead) + "x.bin"),
              std::string::npos)
        << reference["son"].out;
  }

  struct Medium {
    std::string medium, ext, content;
  };
  std::vector<Medium> media() const {
    return {
        {"texte", ".xml", textQuery}, {"image", ".txt", imageQuery}, {"son", ".bin", soundQuery}};
  }

  // The reference output of `medium` as it reads for query path `path`.
  std::string expectedOut(const std::string& medium, const std::string& path) {
    std::string out = reference[medium].out;
    if (medium == "texte") return out;
    const std::string head = requestLine("../q" + std::string(medium == "image" ? ".txt" : ".bin"));
    return requestLine(path) + out.substr(head.size());
  }

  Store s;
  std::string textQuery, imageQuery, soundQuery;
  std::map<std::string, Result> reference;
};

}  // namespace

TEST_F(HostileQueries, AnyNameIsOpenedAsItIs) {
  std::vector<std::string> stems = storedStems();
  for (const auto& stem : refusedStems()) stems.push_back(stem);
  for (const auto& [medium, ext, content] : media()) {
    for (const auto& stem : stems) {
      const std::string name = stem + ext;
      s.write(name, content);
      const std::string path = "../" + name;
      const Result r = run(s, {"comparaison", medium, path});
      EXPECT_EQ(r.status, 0) << medium << " " << escaped(path) << "\n" << r.err;
      EXPECT_EQ(r.err, "") << medium << " " << escaped(path);
      EXPECT_EQ(r.out, expectedOut(medium, path)) << medium << " " << escaped(path);
      if (medium == "texte") {
        EXPECT_EQ(s.read(kScratchCopies + name), content) << escaped(name);
      }
      s.remove(name);
    }
  }
  // A path starting with "-" is a path, and "-" is not standard input.
  s.write("work/-rf", textQuery);
  const Result dash = s.engine({"comparaison", "texte", "-rf"}, timed());
  EXPECT_EQ(dash.out, expectedOut("texte", "-rf"));
  s.remove("work/-rf");
  expectNothingRan(s);
}

TEST_F(HostileQueries, UnusablePathsAreOneEscapedLine) {
  std::vector<std::string> paths;
  for (const auto& stem : storedStems()) paths.push_back("../absent" + stem);
  for (const auto& stem : refusedStems()) paths.push_back("../absent" + stem);
  paths.push_back("-");
  paths.push_back("--version");
  paths.push_back("../" + std::string(256, 'N'));  // a name too long for the system
  std::string deep;
  while (deep.size() < 5000) deep += "sub/../";
  paths.push_back(deep + "q.xml");                    // a path too long for the system
  paths.push_back("../" + std::string(100000, 'P'));  // one long argument
  fs::create_symlink("loop", s.path("loop"));
  paths.push_back("../loop");  // a link to itself
  for (const auto& [medium, ext, content] : media()) {
    for (const auto& path : paths) {
      RunOptions o = timed();
      o.stdin_data = content;  // never read as the query
      const Result r = s.engine({"comparaison", medium, path}, o);
      const std::string what = medium + " " + escaped(path).substr(0, 80);
      EXPECT_EQ(r.status, 1) << what;
      expectOwnLines(r.err, 1, what);
      EXPECT_NE(r.err.find(escaped(path)), std::string::npos)
          << what << ": " << r.err.substr(0, 300);
      const std::string head = requestLine(path);
      const std::string out = medium == "texte" ? "" : medium == "image" ? head + kOpener : head;
      EXPECT_EQ(r.out, out) << what;
    }
  }
  expectNothingRan(s);
}

TEST_F(HostileQueries, SearchedWordsAreOnlyLookedUp) {
  // Words that a shell would expand, stored as they are by a document.
  const std::vector<std::string> words = {"$HOME",  "`id`x",      "****",  "-rf-",
                                          "--help", "\"quoted\"", "$(id)x"};
  std::string body;
  for (const auto& w : words) body += repeat(w, 3);
  s.write(kTexts + "b.xml", doc(body));
  ASSERT_EQ(run(s, {"indexation"}).status, 0);
  // "(" and ")" are punctuation: "$(id)x" is described as "$idx".
  for (const auto& w : words) {
    const std::string looked_up = w == "$(id)x" ? "$idx" : w;
    // A word that reads as the help option is given after "--".
    const Result r = w == "--help" ? run(s, {"recherche", "--", looked_up}) : run(s, {"recherche", looked_up});
    EXPECT_EQ(r.status, 0) << w;
    EXPECT_EQ(r.err, "") << w;
    EXPECT_EQ(r.out, std::string("\nb.xml\n") + kPrompt) << w;
  }
  std::vector<std::string> absent;
  for (const auto& stem : storedStems()) absent.push_back(stem);
  for (const auto& stem : refusedStems()) absent.push_back(stem);
  absent.push_back("");
  absent.push_back(std::string(100000, 'W'));
  for (const auto& w : absent) {
    if (std::find(words.begin(), words.end(), w) != words.end()) continue;
    const Result r = run(s, {"recherche", w});
    EXPECT_EQ(r.status, 0) << escaped(w);
    EXPECT_EQ(r.err, "") << escaped(w);
    EXPECT_EQ(r.out, kNotFound) << escaped(w);
  }
  expectNothingRan(s);
}

TEST_F(HostileQueries, SoundsOfAFewBytes) {
  for (const size_t size : {0, 1, 7, 8, 9, 15, 23}) {
    s.write("q.bin", junk(static_cast<uint32_t>(size), size));
    const Result r = run(s, {"comparaison", "son", "../q.bin"});
    EXPECT_EQ(r.status, 0) << size;
    EXPECT_EQ(r.err, "") << size;
    EXPECT_EQ(r.out, requestLine("../q.bin")) << size;
  }
}
