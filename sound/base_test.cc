#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "sound/base.h"
#include "sound/score.h"
#include "sound/test_matrices.h"

namespace sound {
namespace {

using testing::matrix;

// Every descriptor's matrix, as a comparison reads them one by one.
std::vector<Matrix> read_descriptors(const DescriptorBase& base) {
  std::vector<Matrix> ms;
  for (const DescriptorPlan& p : plan_descriptors(base).descriptors)
    ms.push_back(read_descriptor(p.body, p.rows, base.params.nbintervalles, p.first_column));
  return ms;
}

// One descriptor as the indexation writes it.
void descriptor(std::string& out, int id, const Matrix& m) {
  append_id_line(out, id);
  append_rows(out, m);
}

TEST(SoundDescriptorBase, WritesByteForByte) {
  std::string out;
  append_header(out, Params{4, 2});
  descriptor(out, 0, matrix(2, {{1, 2, 0}, {2, 1, 0}}));
  descriptor(out, 1, matrix(2, {{3, 1017, 0}}));
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
  descriptor(text, 0, a);
  descriptor(text, 1, b);
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
      slide(q, m);
    }
  }
}

TEST(SoundDescriptorBase, SizesOfWrittenRows) {
  const Matrix m = matrix(2, {{1, 2, 0}, {2, 1, 0}, {0, 0, 0}});
  std::string text;
  append_rows(text, m);
  EXPECT_EQ(rows_text_floor(3, 3), text.size());  // single-digit counts: the floor exactly
  EXPECT_GE(rows_text_ceiling(3, 3, 9), text.size());
  const Matrix wide = matrix(2, {{4096, 0, 17}});
  text.clear();
  append_rows(text, wide);
  EXPECT_LT(rows_text_floor(1, 3), text.size());
  EXPECT_EQ(rows_text_ceiling(1, 3, 4096), text.size() + 5);
  EXPECT_EQ(rows_text_floor(uint64_t{1} << 62, 65537), UINT64_MAX);
  EXPECT_EQ(rows_text_ceiling(uint64_t{1} << 60, 65537, 1), UINT64_MAX);
}

TEST(SoundDescriptorBase, MatricesAreBoundedByTheirText) {
  // A well-formed row of n+1 counts takes more than 2(n+1) bytes: it fits.
  EXPECT_TRUE(matrix_fits_text(1000, 65537, 1000 * (2 * 65537 + 22)));
  // A small allowance whatever the text, for hand-written bases.
  EXPECT_TRUE(matrix_fits_text(15, 65537, 0));
  EXPECT_FALSE(matrix_fits_text(16, 65537, 0));
  // 44 bytes announcing a million rows of 65537 counts, and sizes that
  // would overflow a product.
  EXPECT_FALSE(matrix_fits_text(1000000, 65537, 44));
  EXPECT_FALSE(matrix_fits_text(SIZE_MAX / 2, 65537, SIZE_MAX / 4));

  std::string text = "1 65536\n<id> 0 </id>\n<fenetre> 1 </fenetre>\n<id> 1 </id>\n";
  for (int k = 0; k < 20; ++k) text += "<fenetre> ";
  const BasePlan plan = plan_descriptors(split_descriptor_base(text));
  ASSERT_EQ(plan.descriptors.size(), 2u);
  EXPECT_EQ(plan.descriptors[0].rows, 1u);
  EXPECT_EQ(plan.descriptors[1].rows, 20u);
  EXPECT_EQ(plan.max_rows, 20u);
  EXPECT_EQ(plan.oversized, 1u);
}

}  // namespace
}  // namespace sound
