#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "sound/bounds.h"
#include "sound/config.h"
#include "sound/describe.h"
#include "sound/descriptor_base.h"
#include "sound/descriptor_format.h"
#include "sound/matrix.h"
#include "sound/score.h"
#include "sound/sound_list.h"

namespace sound {
namespace {

std::string samples(const std::vector<double>& xs) {
  std::string bytes(xs.size() * 8, '\0');
  std::memcpy(bytes.data(), xs.data(), bytes.size());
  return bytes;
}

Matrix matrix(int n, const std::vector<std::vector<int32_t>>& rows) {
  Matrix m = init_matrice(rows.size(), n);
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c) m.row(r)[c] = rows[r][c];
  return m;
}

std::vector<int32_t> row_sums(const Matrix& m) {
  std::vector<int32_t> sums;
  for (size_t r = 0; r < m.rows; ++r) {
    int32_t s = 0;
    for (size_t c = 0; c < m.cols; ++c) s += m.at(r, c);
    sums.push_back(s);
  }
  return sums;
}

// ---- configuration -------------------------------------------------------

struct ConfigCase {
  const char* text;
  int32_t e, n;
  const char* messages;
};

TEST(SoundConfig, KeysAreScannedWithTheirQuirks) {
  const ConfigCase cases[] = {
      {"<sound>\nechantillons: 2048\nnbintervalles: 40\n</sound>", 2048, 40, ""},
      {"", 1024, 40, ""},
      {"nbintervalles: 8", 1024, 8, ""},
      {"echantillons: 2048 x echantillons: 512", 512, 40, ""},
      {"nbintervalles: 12 echantillons: 64 <image> NbBit_NB: 4", 64, 12, ""},
      {"echantillons:  +77trailing", 77, 40, ""},
      // The value after "echantillons:" is then tested as the second key.
      {"echantillons: nbintervalles: 7", 1024, 7,
       "Parametre echantillons: incorrect pour l'indexation son : nbintervalles: ignoré !\n"},
      // The value after "nbintervalles:" is never tested as a key.
      {"nbintervalles: echantillons: 5", 1024, 40,
       "Parametre nbintervalles: incorrect pour l'indexation son : echantillons: ignoré !\n"},
      // A key as the last token takes itself as its value.
      {"echantillons: 16 nbintervalles:", 16, 40,
       "Parametre nbintervalles: incorrect pour l'indexation son : nbintervalles: ignoré !\n"},
      {"echantillons: 0 nbintervalles: -3", 1024, 40,
       "Parametre echantillons: incorrect pour l'indexation son : 0 ignoré !\n"
       "Parametre nbintervalles: incorrect pour l'indexation son : -3 ignoré !\n"},
      {"echantillons: 99999999999 nbintervalles: 65537", 1024, 40,
       "Parametre echantillons: incorrect pour l'indexation son : 99999999999 ignoré !\n"
       "Parametre nbintervalles: incorrect pour l'indexation son : 65537 ignoré !\n"},
      {"echantillons: 8 echantillons: abc", 8, 40,
       "Parametre echantillons: incorrect pour l'indexation son : abc ignoré !\n"},
      {"Echantillons: 8 echantillons:2", 1024, 40, ""},
  };
  for (const auto& c : cases) {
    Params p;
    EXPECT_EQ(scan_config(c.text, p), c.messages) << c.text;
    EXPECT_EQ(p.echantillons, c.e) << c.text;
    EXPECT_EQ(p.nbintervalles, c.n) << c.text;
  }
}

// ---- bounds --------------------------------------------------------------

TEST(SoundBounds, AccumulateInSinglePrecision) {
  const auto b40 = createGap(40);
  ASSERT_EQ(b40.size(), 41u);
  EXPECT_EQ(b40[0], -0.99999994f);
  EXPECT_EQ(b40[20], 2.1606684e-07f);
  EXPECT_EQ(b40[40], 1.0000004f);
  const auto b10 = createGap(10);
  EXPECT_EQ(b10[0], -1.0f);
  EXPECT_EQ(b10[10], 0.99999994f);
  EXPECT_EQ(createGap(2), (std::vector<float>{-1.0f, 0.0f, 1.0f}));
  EXPECT_EQ(createGap(1), (std::vector<float>{-1.0f, 1.0f}));
}

// The reference: the intervals tested one by one in increasing order.
int linear_interval(double x, const std::vector<float>& b) {
  for (size_t i = 0; i + 1 < b.size(); ++i)
    if (static_cast<double>(b[i]) <= x && x < static_cast<double>(b[i + 1]))
      return static_cast<int>(i);
  return -1;
}

TEST(SoundBounds, LookupAgreesWithTheLinearScan) {
  std::mt19937_64 rng(7);
  // 600000 intervals (more than a configuration may ask) leave room for one
  // look-up cell per interval, so cells holding several bounds occur too.
  for (const int n : {1, 2, 3, 7, 10, 39, 40, 41, 64, 100, 255, 1000, 4099, 65536, 600000}) {
    const bool huge = n > 100000;
    const Bounds bounds(n);
    const auto& table = bounds.table();
    std::vector<double> probes = {0.0,
                                  -0.0,
                                  1.0,
                                  -1.0,
                                  1e300,
                                  -1e300,
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::denorm_min(),
                                  -std::numeric_limits<double>::denorm_min()};
    // Every bound and its neighbours (fewer for the largest tables, whose
    // linear reference is slow).
    const size_t stride = huge ? 4999 : n > 5000 ? 97 : 1;
    for (size_t k = 0; k < table.size(); k += (k < 50 || k + 50 > table.size()) ? 1 : stride) {
      const float f = table[k];
      const double d = f;
      probes.push_back(d);
      probes.push_back(std::nextafter(d, -2.0));
      probes.push_back(std::nextafter(d, 2.0));
      probes.push_back(std::nextafterf(f, -2.0f));
      probes.push_back(std::nextafterf(f, 2.0f));
    }
    // The edges of the look-up cells, and their neighbours.
    const Bounds::Lookup lookup = bounds.lookup();
    if (huge) {
      const int32_t* end = lookup.cells + static_cast<size_t>(lookup.cell_count);
      ASSERT_GT(std::count(lookup.cells, end, Bounds::Lookup::kSeveralBounds), 0);
    }
    for (int i = 0; i < (huge ? 300 : 3000); ++i) {
      const double c = static_cast<double>(rng() % static_cast<uint64_t>(lookup.cell_count + 2));
      const double edge = lookup.wide[0] + c / lookup.cell_scale;
      probes.push_back(edge);
      probes.push_back(std::nextafter(edge, -2.0));
      probes.push_back(std::nextafter(edge, 2.0));
    }
    std::uniform_real_distribution<double> wide(-1.5, 1.5);
    for (int i = 0; i < (huge ? 300 : n > 5000 ? 2000 : 20000); ++i) probes.push_back(wide(rng));
    for (const double x : probes) {
      const int expected = linear_interval(x, table);
      ASSERT_EQ(bounds.checkInterval(x), expected) << "n=" << n << " x=" << x;
      ASSERT_EQ(bounds.column(x), expected < 0 ? n : expected);
    }
  }
}

TEST(SoundBounds, EdgeSamplesWithFortyIntervals) {
  const Bounds b(40);
  EXPECT_EQ(b.checkInterval(1.0), 39);
  EXPECT_EQ(b.checkInterval(0.0), 19);
  EXPECT_EQ(b.checkInterval(-1.0), -1);
  EXPECT_EQ(b.column(-1.0), 40);
  const double top = 1.0000004f;  // bound 40 widened
  EXPECT_EQ(b.checkInterval(std::nextafter(top, 0.0)), 39);
  EXPECT_EQ(b.checkInterval(top), -1);
  EXPECT_EQ(b.column(top), 40);
}

// ---- windows and matrices ------------------------------------------------

// (Windows of 10 and 8 samples, empty and odd-length files and the bound
// edges are checked end to end, on the descriptor bytes.)
TEST(SoundDescribe, WindowCuttingAtTheExtremes) {
  const Bounds b(2);
  EXPECT_EQ(row_sums(describe(samples(std::vector<double>(3, 0.5)), 4, b)),
            (std::vector<int32_t>{3}));
  // E = 1: row 0 is empty, then one sample per row.
  EXPECT_EQ(row_sums(describe(samples(std::vector<double>(3, 0.5)), 1, b)),
            (std::vector<int32_t>{0, 1, 1, 1}));
  EXPECT_EQ(getNbFen(10, 4), 2u);
  EXPECT_EQ(getNbFen(3, 4), 0u);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(describe(samples({1.0, -1.5, nan, 7.0, -1.0, 0.0}), 8, b).cells,
            (std::vector<int32_t>{1, 1, 4}));
}

TEST(SoundDescribe, PiecesOfAnySizeGiveTheSameMatrix) {
  std::mt19937_64 rng(3);
  std::uniform_real_distribution<double> amp(-1.1, 1.1);
  std::vector<double> xs(5000);
  for (auto& x : xs) x = amp(rng);
  const std::string bytes = samples(xs) + "xyz";
  const Bounds b(40);
  const Matrix whole = describe(bytes, 64, b);
  EXPECT_EQ(whole.rows, 5000u / 64 + 1);
  for (const size_t piece : {1, 3, 7, 8, 13, 4096}) {
    Describer d(64, b);
    for (size_t at = 0; at < bytes.size(); at += piece)
      d.feed(std::string_view(bytes).substr(at, piece));
    EXPECT_EQ(d.finish().cells, whole.cells) << piece;
  }
}

TEST(SoundMatrix, DisplayAndRelease) {
  Matrix m = matrix(1, {{3, 0}, {-2, 15}});
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  affiche_matrice(m, f);
  std::rewind(f);
  char buf[64] = {};
  const size_t got = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  EXPECT_EQ(std::string(buf, got), "3  0  \n-2  15  \n");
  free_matrice(m);
  EXPECT_EQ(m.rows, 0u);
  EXPECT_TRUE(m.cells.empty());
}

// ---- descriptor base -----------------------------------------------------

TEST(SoundDescriptorBase, WritesByteForByte) {
  std::string out;
  append_header(out, Params{4, 2});
  write_in_desc(out, 0, matrix(2, {{1, 2, 0}, {2, 1, 0}}));
  write_in_desc(out, 1, matrix(2, {{3, 1017, 0}}));
  EXPECT_EQ(out,
            "4 2\n"
            "<id> 0 </id>\n"
            "<fenetre> 1 2 0  </fenetre>\n"
            "<fenetre> 2 1 0  </fenetre>\n"
            "<id> 1 </id>\n"
            "<fenetre> 3 1017 0  </fenetre>\n");
}

TEST(SoundDescriptorBase, ReadsBackWhatWasWritten) {
  std::string text;
  append_header(text, Params{2048, 3});
  const Matrix a = matrix(3, {{1, 2, 3, 4}, {5, 6, 7, 8}});
  const Matrix b = matrix(3, {{0, 0, 0, 0}});
  write_in_desc(text, 0, a);
  write_in_desc(text, 1, b);
  const DescriptorBase base = split_descriptor_base(text);
  ASSERT_TRUE(base.header_ok);
  EXPECT_EQ(base.params.echantillons, 2048);
  EXPECT_EQ(base.params.nbintervalles, 3);
  const auto ms = read_descriptors(base);
  ASSERT_EQ(ms.size(), 2u);
  EXPECT_EQ(ms[0].rows, 2u);
  EXPECT_EQ(ms[0].cells, a.cells);
  EXPECT_EQ(ms[1].cells, b.cells);
  EXPECT_EQ(getNbFenFromDesc(base.bodies[0]).rows, 2u);
}

TEST(SoundDescriptorBase, HeaderMustHoldTwoValuesInRange) {
  for (const char* bad : {"", "1024", "0 40\n", "1024 0\n", "x 40", "1024 -1", "1024 70000",
                          "<id> 0 </id>"}) {
    EXPECT_FALSE(split_descriptor_base(bad).header_ok) << bad;
  }
  const auto base = split_descriptor_base("1024 40\n");
  EXPECT_TRUE(base.header_ok);
  EXPECT_TRUE(base.bodies.empty());
}

TEST(SoundDescriptorBase, GarbledBasesStayInsideTheMatrix) {
  // More counts than n+1, more row ends than rows, a missing "</id>", tokens
  // before the first "<id>", a mark glued to a count, a truncated end.
  const std::string text =
      "4 1\n7 8 <fenetre> 9 </fenetre>\n"
      "<id> 0 </id>\n<fenetre> 1 2 3 4 5 </fenetre> </fenetre> </fenetre> 6 7\n"
      "<id> 1\n<fenetre> 8 9 </fenetre>\n"
      "<id> 2 </id> <fenetre> 10<id> 11 <fenetre> 12 -5";
  const DescriptorBase base = split_descriptor_base(text);
  ASSERT_TRUE(base.header_ok);
  const auto ms = read_descriptors(base);
  ASSERT_EQ(ms.size(), 3u);
  EXPECT_EQ(ms[0].cells, (std::vector<int32_t>{1, 2}));
  // No "</id>": the column carried over from descriptor 0 (its trailing "6 7")
  // puts the identifier and both counts past the row's end.
  EXPECT_EQ(ms[1].cells, (std::vector<int32_t>{0, 0}));
  // "10<id>" is a count, not a mark; "12 -5" overflow row 0 (no "</fenetre>").
  EXPECT_EQ(ms[2].rows, 2u);
  EXPECT_EQ(ms[2].cells, (std::vector<int32_t>{10, 11, 0, 0}));
}

TEST(SoundDescriptorBase, ArbitraryBytesNeverFault) {
  std::mt19937_64 rng(11);
  const std::string alphabet[] = {"<id>", "</id>", "<fenetre>", "</fenetre>", "3", "-7",
                                  "99999999999", " ", "\n", "x", "2"};
  for (int round = 0; round < 2000; ++round) {
    std::string text = "2 " + std::to_string(rng() % 5);
    const size_t len = rng() % 60;
    for (size_t i = 0; i < len; ++i) text += std::string(" ") + alphabet[rng() % 11];
    const DescriptorBase base = split_descriptor_base(text);
    if (!base.header_ok) continue;
    for (const Matrix& m : read_descriptors(base)) {
      EXPECT_EQ(m.cells.size(), m.rows * m.cols);
      const Matrix q = init_matrice(1, base.params.nbintervalles);
      compare_matrices(q, m, "x", 0.1f);
    }
  }
}

// ---- sound list ----------------------------------------------------------

TEST(SoundList, LinesAndLookups) {
  SoundList list;
  EXPECT_EQ(list.read_desc("a.bin"), 0);
  EXPECT_EQ(list.addListeBaseSon("a.bin"), 0);
  EXPECT_EQ(list.addListeBaseSon("b.bin"), 1);
  EXPECT_EQ(list.text(),
            "<id> 0 </id><fichier> a.bin </fichier>\n"
            "<id> 1 </id><fichier> b.bin </fichier>\n");
  EXPECT_EQ(list.read_desc("a.bin"), 1);
  EXPECT_EQ(list.read_desc("b.bi"), 0);
  EXPECT_EQ(list.read_desc("</id><fichier>"), 1);

  const auto names = names_by_position(list.text(), 3);
  EXPECT_EQ(names[0], "a.bin");
  EXPECT_EQ(names[1], "b.bin");
  EXPECT_EQ(names[2], "");
}

TEST(SoundList, OnlyIdentifierTokensAreMatched) {
  const std::string list =
      "<id> 0 </id><fichier> 3.bin </fichier>\n"
      "<id> 1 </id><fichier> <id> </fichier>\n"
      "<id> 2 </id><fichier> 2.bin </fichier>\n"
      "<id> 3 </id><fichier> x.bin </fichier>\n"
      "<id> 3 </id><fichier> second.bin </fichier>\n"
      "<id> 05 </id><fichier> five.bin </fichier>\n"
      "<id> 6";
  const auto names = names_by_position(list, 8);
  EXPECT_EQ(names[0], "3.bin");
  EXPECT_EQ(names[1], "<id>");
  EXPECT_EQ(names[2], "2.bin");
  EXPECT_EQ(names[3], "x.bin");
  EXPECT_EQ(names[4], "");
  EXPECT_EQ(names[5], "five.bin");
  EXPECT_EQ(names[6], "");
  // The identifier token is consumed: "<id> <id> 7 a b" names 0 ("<id>" reads
  // as 0) with "a", and never sees a mark before 7.
  const auto quirk = names_by_position("<id> <id> 7 a b", 8);
  EXPECT_EQ(quirk[0], "a");
  EXPECT_EQ(quirk[7], "");
}

// ---- comparison ----------------------------------------------------------

TEST(SoundScore, WorkedCase) {
  const Matrix q = matrix(1, {{1500, 0}});
  const Matrix b = matrix(1, {{0, 1500}, {1500, 0}, {0, 0}});
  const Slide s = slide(q, b);
  EXPECT_EQ(s.scores, (std::vector<int64_t>{0, 1500, 0}));
  EXPECT_TRUE(s.detected);
  EXPECT_EQ(s.best_offset, 1u);
  EXPECT_EQ(compare_matrices(q, b, "s.bin", window_step(1024)),
            "Une ressemblance à été trouvée dans s.bin à l'instant : 0.064000s  \n\n"
            "Trouvé dans s.bin postiton :  0.064000s  0.128000s\n\n");
}

// A base whose scores against a one-row query (c, 0) are exactly `scores`.
Matrix base_with_scores(const std::vector<int32_t>& scores) {
  std::vector<std::vector<int32_t>> rows;
  for (const int32_t s : scores) rows.push_back({s, 0});
  return matrix(1, rows);
}

TEST(SoundScore, DetectionUsesPairsAndTheThreshold) {
  const Matrix q = matrix(1, {{5000, 0}});
  EXPECT_FALSE(slide(q, base_with_scores({2000, 1000})).detected);
  EXPECT_TRUE(slide(q, base_with_scores({2000, 999})).detected);
  EXPECT_TRUE(slide(q, base_with_scores({999, 2000})).detected);
  EXPECT_FALSE(slide(q, base_with_scores({1000, 2000})).detected);
  // A jump between offsets 1 and 2 crosses two pairs.
  EXPECT_FALSE(slide(q, base_with_scores({0, 0, 3000, 3000})).detected);
  EXPECT_TRUE(slide(q, base_with_scores({0, 0, 3000, 3000, 0, 1001})).detected);
  // The last offset of an odd-length series has no partner.
  EXPECT_FALSE(slide(q, base_with_scores({0, 0, 3000})).detected);
  EXPECT_FALSE(slide(q, base_with_scores({0, 0, 0, 0})).detected);
}

TEST(SoundScore, EqualRowCountsAlwaysDetect) {
  const Matrix q = matrix(1, {{0, 0}, {0, 0}});
  const Slide s = slide(q, matrix(1, {{0, 0}, {0, 0}}));
  EXPECT_TRUE(s.detected);
  EXPECT_EQ(compare_matrices(q, matrix(1, {{9, 9}, {0, 0}}), "same.bin", window_step(1024)),
            "Une ressemblance à été trouvée dans same.bin à l'instant : 0.000000s  \n\n"
            "Trouvé dans same.bin postiton :  0.000000s  0.128000s\n\n");
  EXPECT_TRUE(slide(q, matrix(1, {{0, 0}})).scores.empty());
  EXPECT_EQ(compare_matrices(q, matrix(1, {{0, 0}}), "short.bin", 1.0f), "");
}

TEST(SoundScore, BestTiesGoToTheLaterOffsetAndNearScoresPrint) {
  const Matrix q = matrix(1, {{5000, 0}});
  const Matrix b = base_with_scores({0, 3000, 2001, 3000, 2000});
  const Slide s = slide(q, b);
  EXPECT_EQ(s.best_offset, 3u);
  EXPECT_EQ(compare_matrices(q, b, "t.bin", window_step(2048)),
            "Une ressemblance à été trouvée dans t.bin à l'instant : 0.128000s  \n\n"
            "Une ressemblance à été trouvée dans t.bin à l'instant : 0.256000s  \n\n"
            "Une ressemblance à été trouvée dans t.bin à l'instant : 0.384000s  \n\n"
            "Trouvé dans t.bin postiton :  0.384000s  0.512000s\n\n");
}

TEST(SoundScore, TimesComeFromTheSinglePrecisionStep) {
  EXPECT_EQ(window_step(1024), 0.064f);
  EXPECT_EQ(window_step(2048), 0.128f);
  // Products in double from the float step: 100000 windows of 0.064000003 s.
  const Matrix q = matrix(1, {{5000, 0}});
  std::vector<int32_t> scores(100002, 0);
  scores[0] = 5000;
  scores[100000] = 5000;
  const std::string report = compare_matrices(q, base_with_scores(scores), "l.bin", 0.064f);
  EXPECT_NE(report.find("à l'instant : 6400.000304s  \n\n"), std::string::npos) << report;
  EXPECT_NE(report.find("postiton :  6400.000304s  6400.064304s\n\n"), std::string::npos)
      << report;
}

TEST(SoundScore, ExactWithoutTheFastPath) {
  // Negative counts (a garbled base) take the 64-bit path; same definition.
  const Matrix q = matrix(2, {{1, 2, 3}, {4, 5, 6}});
  const Matrix b = matrix(2, {{-1, 9, 9}, {2, -2000000000, 1}, {9, 9, 9}, {-2000000000, 0, 0}});
  const Slide s = slide(q, b);
  EXPECT_EQ(s.scores, (std::vector<int64_t>{-1 + 2 + 3 + 2 - 2000000000 + 1,
                                            1 - 2000000000 + 1 + 4 + 5 + 6,
                                            1 + 2 + 3 - 2000000000 + 0 + 0}));
  EXPECT_EQ(s.best, 0);
  EXPECT_EQ(s.best_offset, 0u);
}

}  // namespace
}  // namespace sound
