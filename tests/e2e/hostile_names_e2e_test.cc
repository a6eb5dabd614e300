// Corpus names and request words that a shell would run or expand: stored
// and shown byte for byte, refused with one line when they hold white space,
// and never run.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/e2e/hostile.h"

using namespace e2e::hostile;
using e2e::Result;
using e2e::Store;

TEST(HostileNames, CorpusNamesAreStoredAsTheyAreAndNothingRuns) {
  Store s;
  const std::vector<std::string> stems = storedStems();
  const std::vector<std::string> refused = refusedStems();
  // Text names may also be the very marks of the text list, or a lone "-".
  std::vector<std::string> textNames;
  for (const auto& stem : stems) textNames.push_back(stem + ".xml");
  for (const char* extra : {"-", "<id>", "<filename>", "<mots>", "<debut>"})
    textNames.push_back(extra);
  std::sort(textNames.begin(), textNames.end());  // the C locale sorts by bytes

  std::map<std::string, std::string> textContent;
  for (size_t i = 0; i < textNames.size(); ++i) {
    textContent[textNames[i]] = doc(repeat(letterWord(i), 3) + repeat("commun", 3));
    s.write(kTexts + textNames[i], textContent[textNames[i]]);
  }
  std::vector<std::string> imageNames, soundNames;
  for (const auto& stem : stems) {
    imageNames.push_back(stem + ".txt");
    soundNames.push_back(stem + ".bin");
  }
  std::sort(imageNames.begin(), imageNames.end());
  std::sort(soundNames.begin(), soundNames.end());
  for (const auto& name : imageNames) {
    s.write(kRgb + name, "1 1 3\n255 0 0\n");
    s.write(kNb + name, "1 1 1\n16\n");
  }
  for (const auto& name : soundNames) s.write(kSounds + name, soundOf(0.5, 3));
  for (const auto& stem : refused) {
    s.write(kTexts + stem + ".xml", doc(repeat("refus", 3)));
    s.write(kRgb + stem + ".txt", "1 1 3\n1 2 3\n");
    s.write(kNb + stem + ".txt", "1 1 1\n1\n");
    s.write(kSounds + stem + ".bin", soundOf(0.5, 3));
  }

  const Result r = run(s, {"indexation"});
  EXPECT_EQ(r.status, 0) << r.err;
  expectNothingRan(s);

  // One line per refused name and corpus, naming the file with its control
  // bytes escaped.
  expectOwnLines(r.err, 4 * refused.size(), "indexation");
  for (const auto& stem : refused) {
    for (const std::string& file : {kTexts + stem + ".xml", kRgb + stem + ".txt",
                                    kNb + stem + ".txt", kSounds + stem + ".bin"}) {
      const std::string shown = escaped("../" + file);
      size_t lines = 0;
      for (const auto& line : linesOf(r.err)) lines += line.find(shown) != std::string::npos;
      EXPECT_EQ(lines, 1u) << shown;
    }
  }

  // Texts: list, descriptors, index and scratch copies, byte for byte.
  std::string list, base, common;
  for (size_t i = 0; i < textNames.size(); ++i) {
    list += textListLine(static_cast<int>(i + 1), textNames[i]);
    base += textRecord(static_cast<int>(i + 1), letterWord(i) + " 3 ; commun 3 ; ");
    common += (i == 0 ? "" : " ; ") + std::to_string(i + 1) + " 3";
  }
  EXPECT_EQ(s.read(kTextList), list);
  EXPECT_EQ(s.read(kTextDescriptors), base);
  const std::string index = s.read(kTextIndex);
  EXPECT_NE(index.find("<mot> commun </mot> <key_nb> " + common + "  </key_nb> \n"),
            std::string::npos)
      << index;
  for (const auto& name : textNames) {
    EXPECT_EQ(s.read(kScratchCopies + name), textContent[name]) << name;
  }

  // Images: colour corpus first, then grey, each in listing order.
  std::string imageList, imageBase = "NB_BIT_RGB: 3\nNB_BIT_NB: 4\n";
  int id = 0;
  for (const auto& name : imageNames) {
    imageList += imageListLine(id, name, "RGB");
    imageBase += onePixelRecord(id++, "RGB", "0x01c0");
  }
  for (const auto& name : imageNames) {
    imageList += imageListLine(id, name, "NB");
    imageBase += onePixelRecord(id++, "NB", "0x01");
  }
  EXPECT_EQ(s.read(kImageList), imageList);
  EXPECT_EQ(s.read(kImageDescriptors), imageBase);

  // Sounds.
  std::string soundList, soundBase = "2048 40\n", soundOut;
  std::string row = "<fenetre> ";
  for (int k = 0; k <= 40; ++k) row += k == 29 ? "3 " : "0 ";  // 0.5 lies in interval 29
  row += " </fenetre>\n";
  for (size_t i = 0; i < soundNames.size(); ++i) {
    soundList += soundListLine(static_cast<int>(i), soundNames[i]);
    soundBase += "<id> " + std::to_string(i) + " </id>\n" + row;
    soundOut += indexedSound(soundNames[i]);
  }
  EXPECT_EQ(s.read(kSoundList), soundList);
  EXPECT_EQ(s.read(kSoundDescriptors), soundBase);
  EXPECT_EQ(r.out, std::string(kTextClosing) + kImageClosing + soundOut);

  // The keyword search shows every document under its own name, the marks
  // of the list included.
  const Result found = run(s, {"recherche", "commun"});
  EXPECT_EQ(found.status, 0);
  EXPECT_EQ(found.err, "");
  std::vector<std::string> shown = shownNames(found.out);
  std::sort(shown.begin(), shown.end());
  EXPECT_EQ(shown, textNames);
  expectNothingRan(s);
}

TEST(HostileNames, RequestWordsThatNameNoRequestRunNothing) {
  Store s(/*with_config=*/false);
  const std::vector<std::vector<std::string>> bad = {
      {"indexation;touch${IFS}PWNED1"},
      {"$(touch PWNED2)"},
      {"`touch PWNED3`", "indexation"},
      {"comparaison", "texte;touch${IFS}PWNED4", "../q.xml"},
      {"comparaison", "$(touch PWNED5)", "../q.bin"},
      {"indexation\n"},
      {"--version\n"},
      {"-C"},
      {""},
  };
  for (const auto& words : bad) {
    const Result r = run(s, words);
    EXPECT_EQ(r.status, 2) << escaped(words[0]);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("usage: ", 0), 0u) << r.err;
    EXPECT_EQ(lineCount(r.err), 1u) << r.err;
  }
  EXPECT_FALSE(s.exists(e2e::kConfig));
  expectNothingRan(s);
}
