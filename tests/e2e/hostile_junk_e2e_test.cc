// Junk inputs: a binary document, image headers announcing 2^31 pixels, and
// configuration files holding a lone key, nothing, or binary bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/hostile.h"

using namespace e2e::hostile;
using e2e::Result;
using e2e::Store;

namespace {

// The words of each "<mots>" section of a text descriptor base, per record.
std::vector<std::vector<std::string>> descriptorWords(const std::string& base) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> tokens;
  size_t i = 0;
  auto space = [](char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
  };
  while (i < base.size()) {
    while (i < base.size() && space(base[i])) ++i;
    size_t j = i;
    while (j < base.size() && !space(base[j])) ++j;
    if (j > i) tokens.push_back(base.substr(i, j - i));
    i = j;
  }
  for (size_t k = 0; k < tokens.size(); ++k) {
    if (tokens[k] != "<mots>") continue;
    records.emplace_back();
    for (size_t m = k + 1; m < tokens.size() && tokens[m] != "</mots>"; m += 3)
      records.back().push_back(tokens[m]);
  }
  return records;
}

// Junk that cannot hold a key (every key ends with a colon).
std::string noColon(std::string bytes) {
  std::replace(bytes.begin(), bytes.end(), ':', ';');
  return bytes;
}

}  // namespace

TEST(HostileJunk, BinaryJunkDocumentIsDescribedIntoWellFormedBases) {
  Store s;
  s.write(e2e::kConfig, "txt_nboccurrences: 1");  // every junk word enters the descriptor
  const std::string bytes = junk(7, 200000);
  s.write(kTexts + "junk.xml", bytes);
  s.write(kTexts + "mots.xml", doc(repeat("maison", 3)));
  const Result r = run(s, {"indexation"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind(kTextClosing, 0), 0u);
  EXPECT_EQ(s.read(kTextList), textListLine(1, "junk.xml") + textListLine(2, "mots.xml"));
  EXPECT_EQ(s.read(kScratchCopies + "junk.xml"), bytes);

  // One line per record, one line per index entry, every line closed.
  const std::string base = s.read(kTextDescriptors);
  const std::vector<std::string> records = linesOf(base);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].rfind("<debut> <id> 1 </id> <mots> ", 0), 0u);
  EXPECT_EQ(records[0].substr(records[0].size() - 16), "  </mots> </fin>");
  EXPECT_EQ(records[1], "<debut> <id> 2 </id> <mots> maison 3 ;   </mots> </fin>");
  const std::vector<std::vector<std::string>> words = descriptorWords(base);
  ASSERT_EQ(words.size(), 2u);
  ASSERT_GT(words[0].size(), 100u);
  const std::string index = s.read(kTextIndex);
  for (const std::string& line : linesOf(index)) {
    EXPECT_EQ(line.rfind("<mot> ", 0), 0u) << escaped(line);
    EXPECT_EQ(line.substr(line.size() - 12), "  </key_nb> ") << escaped(line);
  }
  EXPECT_EQ(index.back(), '\n');

  // The junk as a query finds its own document with all its words.
  s.write("junk.q", bytes);
  const Result q = run(s, {"comparaison", "texte", "../junk.q"});
  EXPECT_EQ(q.status, 0);
  EXPECT_EQ(q.err, "");
  EXPECT_EQ(q.out, comparisonLine(1, words[0].size()));

  // A junk word (one that an argument can carry) is found by the keyword search.
  const auto word = std::find_if(words[0].begin(), words[0].end(), [](const std::string& w) {
    return w.find('\0') == std::string::npos && w.size() > 3;
  });
  ASSERT_NE(word, words[0].end());
  const Result k = run(s, {"recherche", *word});
  EXPECT_EQ(k.status, 0);
  EXPECT_EQ(k.out, std::string("\njunk.xml\n") + kPrompt);
}

TEST(HostileJunk, ImageHeadersAnnouncingTwoToTheThirtyOnePixels) {
  Store s;
  struct Case {
    std::string name, content;
    const char* fault;
  };
  const std::vector<Case> colour = {
      {"a.txt", "2147483648 2147483648 3\n1 2 3\n", kBad.c_str()},  // 2^31 x 2^31
      {"b.txt", "46341 46341 3\n1 2 3\n", kBad.c_str()},            // just over 2^31 - 1 pixels
      {"c.txt", "1 715827883 3\n1 2 3\n", kShort.c_str()},          // pixels fit, 2^31 + 1 values
  };
  const std::vector<Case> grey = {
      {"d.txt", "2147483648 1 1\n0\n", kBad.c_str()},    // 2^31 lines
      {"e.txt", "65536 32768 1\n0\n", kBad.c_str()},     // exactly 2^31 pixels
      {"f.txt", "2147483647 1 1\n0\n", kShort.c_str()},  // 2^31 - 1: announced, not there
      {"g.txt", "4294967297 1 1\n0\n", kBad.c_str()},    // 2^32 + 1 is not 1
      {"h.txt", "1 -2147483648 1\n0\n", kBad.c_str()},
      {"i.txt", "1 1 1\n0\n", nullptr},
  };
  std::string expected;
  for (const auto* cases : {&colour, &grey}) {
    for (const Case& c : *cases) {
      const std::string dir = cases == &colour ? kRgb : kNb;
      s.write(dir + c.name, c.content);
      if (c.fault != nullptr)
        expected += std::string(c.fault) + image::msgErreurLecture("../" + dir + c.name);
    }
  }
  const Result r = run(s, {"indexation"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, std::string(kTextClosing) + expected + kImageClosing);
  EXPECT_EQ(s.read(kImageList), imageListLine(0, "i.txt", "NB"));

  // The same files as queries cannot be searched.
  for (const auto* cases : {&colour, &grey}) {
    for (const Case& c : *cases) {
      if (c.fault == nullptr) continue;
      s.write(c.name, c.content);
      const Result q = run(s, {"comparaison", "image", "../" + c.name});
      EXPECT_EQ(q.status, 1) << c.name;
      EXPECT_EQ(q.err, "") << c.name;
      EXPECT_EQ(q.out, image::msgRequete("../" + c.name) + c.fault) << c.name;
    }
  }
}

TEST(HostileJunk, ConfigurationHoldingOnlyAKeyEmptyOrBinary) {
  const std::string nb(image::kMsgBitsNB);
  const std::string rgb(image::kMsgBitsRGB);
  struct Case {
    std::string config, image_messages, sound_messages;
  };
  const std::vector<Case> cases = {
      {"txt_nboccurrences:", "", ""},
      {"echantillons:", "", badSoundParameter("echantillons:", "echantillons:")},
      {"nbintervalles:", "", badSoundParameter("nbintervalles:", "nbintervalles:")},
      {"NbBit_NB:", nb, ""},
      {"NbBit_RGB:", rgb, ""},
      {"  \n\t", "", ""},
      {"", "", ""},
      {std::string("\0\0\0\0", 4), "", ""},
      {noColon(junk(3, 4096)), "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(escaped(c.config.substr(0, 40)));
    Store s;
    s.write(e2e::kConfig, c.config);
    s.write(kTexts + "a.xml", doc(repeat("maison", 3) + repeat("jardin", 2)));
    s.write(kNb + "g.txt", "1 1 1\n16\n");
    s.write(kSounds + "s.bin", soundOf(0.5, 3));
    const Result r = run(s, {"indexation"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, std::string(kTextClosing) + c.image_messages + kImageClosing +
                         c.sound_messages + indexedSound("s.bin"));
    // Every reader falls back on its default values.
    EXPECT_EQ(s.read(kTextDescriptors), textRecord(1, "maison 3 ; "));
    EXPECT_EQ(s.read(kImageDescriptors),
              "NB_BIT_RGB: 3\nNB_BIT_NB: 4\n" + onePixelRecord(0, "NB", "0x01"));
    EXPECT_EQ(s.read(kSoundDescriptors).substr(0, 8), "1024 40\n");
    // And the comparisons run on what was built.
    s.write("q.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
    s.write("q.txt", "1 1 1\n16\n");
    s.write("q.bin", soundOf(0.5, 3));
    Result q = run(s, {"comparaison", "texte", "../q.xml"});
    EXPECT_EQ(q.status, 0);
    EXPECT_EQ(q.out, "");
    q = run(s, {"comparaison", "image", "../q.txt"});
    EXPECT_EQ(q.out, image::msgRequete("../q.txt") + image::msgResultat("g.txt", 0, 100));
    q = run(s, {"comparaison", "son", "../q.bin"});
    EXPECT_EQ(q.status, 0);
    EXPECT_EQ(q.err, "");
    EXPECT_EQ(q.out.rfind(requestLine("../q.bin"), 0), 0u);
  }
}
