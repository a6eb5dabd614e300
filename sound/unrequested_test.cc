#include "sound/unrequested.h"

#include <gtest/gtest.h>

#include "sound/base.h"
#include "sound/test_matrices.h"

namespace sound {
namespace {

using testing::matrix;

TEST(SoundUnrequested, DisplayAndRelease) {
  Matrix m = matrix(1, {{3, 0}, {-2, 15}});
  output::StringSink sink;
  affiche_matrice(m, sink);
  EXPECT_EQ(sink.out_text(), "3  0  \n-2  15  \n");
  EXPECT_EQ(sink.err_text(), "");
  free_matrice(m);
  EXPECT_EQ(m.rows, 0u);
  EXPECT_TRUE(m.cells.empty());
}

TEST(SoundUnrequested, OneCallFormsAgreeWithTheSteps) {
  const Matrix m = matrix(2, {{1, 2, 0}, {2, 1, 0}});
  std::string whole, steps;
  write_in_desc(whole, 7, m);
  append_id_line(steps, 7);
  append_rows(steps, m);
  EXPECT_EQ(whole, steps);
  EXPECT_EQ(checkInterval(0.0, Bounds(40)), 19);
  EXPECT_EQ(compare_matrices(matrix(1, {{1500, 0}}), matrix(1, {{0, 0}, {1500, 0}}), "s.bin", 1.0f),
            "Une ressemblance à été trouvée dans s.bin à l'instant : 1.000000s  \n\n"
            "Trouvé dans s.bin postiton :  1.000000s  2.000000s\n\n");
}

}  // namespace
}  // namespace sound
