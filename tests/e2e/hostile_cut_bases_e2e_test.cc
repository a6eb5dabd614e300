// Bases cut in the middle of a record: every request reads the complete
// records before the cut, shows cut names as far as they go, and refuses a
// base whose header is cut with one line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/hostile.h"

using namespace e2e::hostile;
using e2e::Result;
using e2e::Store;

namespace {

// Offsets at which to cut `full`: a spread over the whole text, and the
// bytes around each occurrence of `marks`.
std::vector<size_t> cutPoints(const std::string& full, const std::vector<std::string>& marks) {
  std::set<size_t> cuts;
  const size_t step = std::max<size_t>(1, full.size() / 40);
  for (size_t c = 0; c < full.size(); c += step) cuts.insert(c);
  for (const std::string& m : marks)
    for (size_t at = full.find(m); at != std::string::npos; at = full.find(m, at + 1))
      for (const size_t c : {at, at + 1, at + m.size() - 1, at + m.size(), at + m.size() + 1})
        if (c < full.size()) cuts.insert(c);
  return {cuts.begin(), cuts.end()};
}

// Offsets just past each occurrence of `mark`.
std::vector<size_t> endsOf(const std::string& full, const std::string& mark) {
  std::vector<size_t> ends;
  for (size_t at = full.find(mark); at != std::string::npos; at = full.find(mark, at + 1))
    ends.push_back(at + mark.size());
  return ends;
}

size_t countUpTo(const std::vector<size_t>& ends, size_t cut) {
  return static_cast<size_t>(
      std::count_if(ends.begin(), ends.end(), [&](size_t e) { return e <= cut; }));
}

bool isPrefixOf(const std::string& part, const std::string& whole) {
  return whole.compare(0, part.size(), part) == 0 && part.size() <= whole.size();
}

// A store indexed with three documents, five images and three sounds, and a
// query of each medium that matches several of them.
class TruncatedBases : public testing::Test {
 protected:
  void SetUp() override {
    s.write(e2e::kConfig, "<sound>\nechantillons: 2048\nnbintervalles: 1\n</sound>");
    s.write(kTexts + "a.xml", doc(repeat("maison", 3) + repeat("jardin", 3) + repeat("arbre", 3)));
    s.write(kTexts + "b.xml", doc(repeat("maison", 4) + repeat("jardin", 3) + repeat("fleur", 3)));
    s.write(kTexts + "c.xml", doc(repeat("maison", 5) + repeat("jardin", 3)));
    s.write(kRgb + "c1.txt", "1 1 3\n255 0 0\n");
    s.write(kRgb + "c2.txt", "1 1 3\n0 255 0\n");
    s.write(kNb + "g1.txt", "2 2 1\n10 20\n30 40\n");
    s.write(kNb + "g2.txt", "2 2 1\n200 200\n200 200\n");
    s.write(kNb + "g3.txt", "1 2 1\n10 20\n");
    // Window kinds: "s" out of range, "i" in interval 0 (the first window
    // holds 2047 samples); each sound holds the query once.
    auto windows = [](const std::string& kinds) {
      std::string bytes;
      for (size_t w = 0; w < kinds.size(); ++w)
        bytes += soundOf(kinds[w] == 'i' ? 0.5 : 5.0, w == 0 ? 2047 : 2048);
      return bytes;
    };
    s.write(kSounds + "x.bin", windows("si"));
    s.write(kSounds + "y.bin", windows("sssi"));
    s.write(kSounds + "z.bin", windows("sssssi"));
    ASSERT_EQ(run(s, {"indexation"}).status, 0);
    s.write("q.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
    s.write("q.txt", "2 2 1\n10 20\n30 40\n");
    s.write("q.bin", soundOf(0.5, 1500));
  }

  // Runs `words` with `file` cut at each point; `check` sees the cut and
  // the result. The file is restored afterwards.
  template <typename Check>
  void forEachCut(const std::string& file, const std::vector<std::string>& marks,
                  const std::vector<std::string>& words, Check check) {
    const std::string full = s.read(file);
    for (const size_t cut : cutPoints(full, marks)) {
      s.write(file, full.substr(0, cut));
      const Result r = run(s, words);
      SCOPED_TRACE(file + " cut at " + std::to_string(cut) + ": " + escaped(full.substr(0, cut)));
      check(cut, r);
    }
    s.write(file, full);
  }

  Store s;
};

}  // namespace

TEST_F(TruncatedBases, TextDescriptorBaseComparesItsCompleteRecords) {
  const std::vector<size_t> ends = endsOf(s.read(kTextDescriptors), "</fin>");
  ASSERT_EQ(ends.size(), 3u);
  forEachCut(kTextDescriptors, {"</fin>", "<id>", "<mots>", "</mots>"},
             {"comparaison", "texte", "../q.xml"}, [&](size_t cut, const Result& r) {
               std::string expected;
               for (size_t id = countUpTo(ends, cut); id >= 1; --id)
                 expected += comparisonLine(static_cast<int>(id), 2);
               EXPECT_EQ(r.status, 0);
               EXPECT_EQ(r.err, "");
               EXPECT_EQ(r.out, expected);
             });
}

TEST_F(TruncatedBases, TextIndexAndListServeTheKeywordSearch) {
  // "maison" counts 3, 4 and 5: shown c.xml, b.xml, a.xml. Its entry comes
  // first in the index; a cut keeps the documents whose pair is whole.
  const std::vector<std::string> order = {"c.xml", "b.xml", "a.xml"};
  size_t last_kept = 0;
  forEachCut(kTextIndex, {"<key_nb>", " ; ", "</key_nb>"}, {"recherche", "maison"},
             [&](size_t, const Result& r) {
               EXPECT_EQ(r.status, 0);
               EXPECT_EQ(r.err, "");
               if (r.out == kNotFound) return;
               const std::vector<std::string> shown = shownNames(r.out);
               ASSERT_LE(shown.size(), 3u);
               // The documents kept are the first ones of the entry: the
               // lowest identifiers, shown from the highest count down.
               EXPECT_EQ(shown, std::vector<std::string>(
                                    order.end() - static_cast<long>(shown.size()), order.end()));
               EXPECT_GE(shown.size(), last_kept);
               last_kept = shown.size();
             });
  EXPECT_EQ(last_kept, 3u);

  // A cut list: each document is shown under its name, a part of it, or
  // said to be missing from the list.
  forEachCut(
      kTextList, {"<id>", "<filename>", "</filename>"}, {"recherche", "maison"},
      [&](size_t, const Result& r) {
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        std::string rest = r.out;
        for (size_t k = 0; k < order.size(); ++k) {
          const std::string id = std::to_string(3 - k);
          const std::string absent =
              std::string(keyword::messages::kAbsentBefore) + id + std::string(keyword::messages::kAbsentAfter);
          if (rest.rfind(absent, 0) == 0) {
            rest = rest.substr(absent.size());
            continue;
          }
          const size_t end = rest.find('\n', 1);
          ASSERT_TRUE(rest.rfind("\n", 0) == 0 && end != std::string::npos) << escaped(r.out);
          EXPECT_TRUE(isPrefixOf(rest.substr(1, end - 1), order[k])) << escaped(r.out);
          ASSERT_EQ(rest.compare(end + 1, kPrompt.size(), kPrompt), 0) << escaped(r.out);
          rest = rest.substr(end + 1 + kPrompt.size());
        }
        EXPECT_EQ(rest, "");
      });
}

TEST_F(TruncatedBases, ImageBaseScoresItsCompleteRecords) {
  const std::string full = s.read(kImageDescriptors);
  const Result whole = run(s, {"comparaison", "image", "../q.txt"});
  ASSERT_EQ(whole.status, 0);
  const std::vector<std::string> lines = linesOf(whole.out);
  ASSERT_EQ(lines.size(), 4u);  // the request and the three grey images
  const std::vector<size_t> ends = endsOf(full, "</valeurs>");
  ASSERT_EQ(ends.size(), 5u);
  const size_t header_end = full.find('\n', full.find("NB_BIT_NB:"));
  forEachCut(kImageDescriptors, {"</valeurs>", "<valeurs>", "<id>", "NB_BIT"},
             {"comparaison", "image", "../q.txt"}, [&](size_t cut, const Result& r) {
               if (cut < header_end) {
                 EXPECT_EQ(r.status, 1);
                 expectOwnLines(r.err, 1, "image base");
                 EXPECT_EQ(r.out, lines[0] + "\n");
                 return;
               }
               // Records are numbered from 0 in base order.
               const size_t complete = countUpTo(ends, cut);
               std::string expected = lines[0] + "\n";
               for (size_t k = 1; k < lines.size(); ++k) {
                 const size_t at = lines[k].find("(id ") + 4;
                 if (std::stoul(lines[k].substr(at)) < complete) expected += lines[k] + "\n";
               }
               if (expected == lines[0] + "\n")
                 expected += image::kMsgAucuneImage;
               EXPECT_EQ(r.status, 0);
               EXPECT_EQ(r.err, "");
               EXPECT_EQ(r.out, expected);
             });

  // A cut list: the same lines, each name whole, cut or "?".
  forEachCut(kImageList, {"<id>", "<fichier>"}, {"comparaison", "image", "../q.txt"},
             [&](size_t, const Result& r) {
               EXPECT_EQ(r.status, 0);
               EXPECT_EQ(r.err, "");
               const std::vector<std::string> got = linesOf(r.out);
               ASSERT_EQ(got.size(), lines.size()) << r.out;
               EXPECT_EQ(got[0], lines[0]);
               for (size_t k = 1; k < got.size(); ++k) {
                 const size_t tail = lines[k].find(" (id "), got_tail = got[k].find(" (id ");
                 ASSERT_NE(got_tail, std::string::npos) << got[k];
                 EXPECT_EQ(got[k].substr(got_tail), lines[k].substr(tail));
                 const std::string name = got[k].substr(6, got_tail - 6);
                 EXPECT_TRUE(name == "?" || isPrefixOf(name, lines[k].substr(6, tail - 6)))
                     << got[k];
               }
             });
}

TEST_F(TruncatedBases, SoundBaseReportsItsCompleteSounds) {
  const std::string full = s.read(kSoundDescriptors);
  const Result whole = run(s, {"comparaison", "son", "../q.bin"});
  ASSERT_EQ(whole.status, 0);
  const std::string head = requestLine("../q.bin");
  const std::vector<std::string> names = {"x.bin", "y.bin", "z.bin"};
  // Each sound's report, in base order.
  std::vector<std::string> reports;
  for (size_t d = 0; d < names.size(); ++d) {
    const size_t from = whole.out.find(std::string(sound::messages::kFoundHead) + names[d]);
    ASSERT_NE(from, std::string::npos) << whole.out;
    const size_t to =
        d + 1 < names.size() ? whole.out.find("Une ressemblance", from + 1) : whole.out.size();
    reports.push_back(whole.out.substr(from, to - from));
  }
  // A sound is whole once the next one starts (the last one, uncut).
  std::vector<size_t> starts = endsOf(full, "<id> ");
  ASSERT_EQ(starts.size(), 3u);
  starts.erase(starts.begin());
  starts.push_back(full.size());
  const size_t header_end = full.find('\n');
  const std::regex line(
      "|Une ressemblance à été trouvée dans [xyz]\\.bin à l'instant : [0-9]+\\.[0-9]{6}s  "
      "|Trouvé dans [xyz]\\.bin postiton :  [0-9]+\\.[0-9]{6}s  [0-9]+\\.[0-9]{6}s");
  forEachCut(kSoundDescriptors, {"<id>", "</fenetre>"}, {"comparaison", "son", "../q.bin"},
             [&](size_t cut, const Result& r) {
               if (cut < header_end) {
                 EXPECT_EQ(r.status, 1);
                 expectOwnLines(r.err, 1, "sound base");
                 EXPECT_EQ(r.out, head);
                 return;
               }
               EXPECT_EQ(r.status, 0);
               EXPECT_EQ(r.err, "");
               std::string expected = head;
               for (size_t d = 0; d < names.size() && starts[d] <= cut; ++d) expected += reports[d];
               ASSERT_EQ(r.out.compare(0, expected.size(), expected), 0) << r.out;
               for (const std::string& l : linesOf(r.out.substr(expected.size())))
                 EXPECT_TRUE(std::regex_match(l, line)) << l;
             });

  // A cut list: the same reports under whole names, cut names or "?".
  forEachCut(kSoundList, {"<id>", "<fichier>"}, {"comparaison", "son", "../q.bin"},
             [&](size_t, const Result& r) {
               EXPECT_EQ(r.status, 0);
               EXPECT_EQ(r.err, "");
               const std::vector<std::string> got = linesOf(r.out), want = linesOf(whole.out);
               ASSERT_EQ(got.size(), want.size()) << r.out;
               for (size_t k = 0; k < got.size(); ++k) {
                 if (got[k] == want[k]) continue;
                 // The name stands between "dans " and " à" or " postiton".
                 const size_t from = want[k].find("dans ") + 5;
                 const size_t to = want[k].find(' ', from);
                 const size_t got_to = got[k].find(' ', from);
                 ASSERT_NE(got_to, std::string::npos) << got[k];
                 const std::string name = got[k].substr(from, got_to - from);
                 EXPECT_TRUE(name == "?" || isPrefixOf(name, want[k].substr(from, to - from)))
                     << got[k];
                 EXPECT_EQ(got[k].substr(got_to), want[k].substr(to)) << got[k];
               }
             });
}
