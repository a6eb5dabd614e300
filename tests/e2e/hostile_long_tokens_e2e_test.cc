// Tokens of megabytes in documents, queries, bases and the configuration
// file: read whole, compared in time, and printed whole.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/hostile.h"

using namespace e2e::hostile;
using e2e::Result;
using e2e::Store;

TEST(HostileLongTokens, TextTokensOfMegabytes) {
  Store s;
  const std::string big(3 << 20, 'a');
  s.write(kTexts + "big.xml", doc(repeat(big, 3) + repeat("maison", 3)));
  s.write(kTexts + "small.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
  const Result r = run(s, {"indexation"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(s.read(kTextDescriptors),
            textRecord(1, big + " 3 ; maison 3 ; ") + textRecord(2, "maison 3 ; jardin 3 ; "));
  EXPECT_EQ(s.read(kTextIndex), "<mot> " + big + " </mot> <key_nb> 1 3  </key_nb> \n" +
                                    "<mot> maison </mot> <key_nb> 1 3 ; 2 3  </key_nb> \n" +
                                    "<mot> jardin </mot> <key_nb> 2 3  </key_nb> \n");

  // The same word in a query; then a word of megabytes that nearly matches
  // at every offset, which a naive search would take hours over.
  s.write("q.xml", doc(repeat(big, 3) + repeat("maison", 3)));
  Result q = run(s, {"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(q.status, 0);
  EXPECT_EQ(q.out, comparisonLine(1, 2));
  s.write("q.xml", doc(repeat(std::string(3 << 19, 'a') + "b", 3) + repeat("maison", 3) +
                       repeat("jardin", 3)));
  q = run(s, {"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(q.status, 0);
  EXPECT_EQ(q.err, "");
  EXPECT_EQ(q.out, comparisonLine(2, 2));

  // The keyword search passes over the long entry (an argument itself is
  // limited by the system to 128 KiB).
  q = run(s, {"recherche", std::string(100000, 'a')});
  EXPECT_EQ(q.out, kNotFound);
  q = run(s, {"recherche", "jardin"});
  EXPECT_EQ(q.out, std::string("\nsmall.xml\n") + kPrompt);
}

TEST(HostileLongTokens, ImageAndSoundTokensOfMegabytes) {
  Store s;
  s.write(kNb + "g.txt", "1 2 1\n7 200\n");
  s.write(kSounds + "x.bin", soundOf(5.0, 2047) + soundOf(0.5, 2048));
  s.write(e2e::kConfig, "echantillons: 2048 nbintervalles: 1");
  ASSERT_EQ(run(s, {"indexation"}).status, 0);
  s.write("q.txt", "1 2 1\n7 200\n");
  s.write("q.bin", soundOf(0.5, 1500));
  const Result image = run(s, {"comparaison", "image", "../q.txt"});
  const Result sound = run(s, {"comparaison", "son", "../q.bin"});
  ASSERT_EQ(image.out, image::msgRequete("../q.txt") + image::msgResultat("g.txt", 0, 100));
  ASSERT_NE(sound.out.find("x.bin"), std::string::npos) << sound.out;

  const std::string zeros(3 << 20, '0');
  // Query values and header numbers written with megabytes of leading zeros
  // (octal for strtol, the same numbers).
  s.write("q.txt", zeros + "1 " + zeros + "2 " + zeros + "1\n" + zeros + "7 200\n");
  Result r = run(s, {"comparaison", "image", "../q.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, image.out);
  // A value of megabytes of digits is out of range.
  s.write("q.txt", "1 2 1\n7 " + std::string(3 << 20, '9') + "\n");
  r = run(s, {"comparaison", "image", "../q.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, image::msgRequete("../q.txt") + kBad);
  EXPECT_EQ(r.err, "");

  // The bases with long numbers and a long stray token read as before.
  const std::string imageBase = s.read(kImageDescriptors), soundBase = s.read(kSoundDescriptors);
  std::string padded = imageBase;
  padded.replace(padded.find("0x00: 1;"), 8, "0x" + zeros + "0: 1;");
  padded.replace(padded.find("<nbvaleur> 2"), 12,
                 "<nbvaleur> " + zeros + "2 " + std::string(3 << 20, 'z'));
  s.write(kImageDescriptors, padded);
  s.write("q.txt", "1 2 1\n7 200\n");
  r = run(s, {"comparaison", "image", "../q.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, image.out);
  padded = soundBase;
  padded.replace(padded.find("<fenetre> 0 2047"), 16, "<fenetre> " + zeros + " " + zeros + "2047");
  s.write(kSoundDescriptors, padded);
  r = run(s, {"comparaison", "son", "../q.bin"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, sound.out);
  // A name of megabytes in the image list is printed whole, on its line.
  const std::string longName(3 << 20, 'n');
  s.write(kImageList, imageListLine(0, longName, "NB"));
  r = run(s, {"comparaison", "image", "../q.txt"});
  EXPECT_EQ(r.out, image::msgRequete("../q.txt") + image::msgResultat(longName, 0, 100));
}

TEST(HostileLongTokens, ConfigurationTokensOfMegabytes) {
  Store s;
  const std::string zeros(3 << 20, '0');
  const std::string nines(3 << 20, '9');
  s.write(e2e::kConfig, "<txt> txt_nboccurrences: " + zeros + "1 </txt> " +
                            std::string(3 << 20, 'k') + ": <sound> echantillons: " + zeros +
                            "512 nbintervalles: " + nines + " </sound> <image> NbBit_NB: " + zeros +
                            "5 NbBit_RGB: " + nines + " </image>");
  s.write(kTexts + "a.xml", doc("maison jardin"));
  s.write(kSounds + "s.bin", soundOf(0.5, 3));
  const Result r = run(s, {"indexation"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  // Each refused value is named on one line.
  EXPECT_EQ(r.out, kTextClosing + std::string(image::kMsgBitsRGB) + kImageClosing +
                       badSoundParameter("nbintervalles:", nines) + indexedSound("s.bin"));
  EXPECT_EQ(s.read(kTextDescriptors), textRecord(1, "maison 1 ; jardin 1 ; "));
  EXPECT_EQ(s.read(kImageDescriptors), "NB_BIT_RGB: 3\nNB_BIT_NB: 5\n");
  EXPECT_EQ(s.read(kSoundDescriptors).substr(0, 7), "512 40\n");
}
