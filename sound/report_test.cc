#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sound/report.h"
#include "sound/test_matrices.h"

namespace sound {
namespace {

using testing::base_with_scores;
using testing::matrix;

std::string report(const Matrix& q, const Matrix& b, std::string_view name, float step) {
  return format_report(slide(q, b), q.rows, name, step);
}

TEST(SoundReport, WorkedCase) {
  const Matrix q = matrix(1, {{1500, 0}});
  const Matrix b = matrix(1, {{0, 1500}, {1500, 0}, {0, 0}});
  const Slide s = slide(q, b);
  EXPECT_EQ(s.scores, (std::vector<int64_t>{0, 1500, 0}));
  EXPECT_TRUE(s.detected);
  EXPECT_EQ(s.best_offset, 1u);
  EXPECT_EQ(report(q, b, "s.bin", window_step(1024)),
            "Une ressemblance à été trouvée dans s.bin à l'instant : 0.064000s  \n\n"
            "Trouvé dans s.bin postiton :  0.064000s  0.128000s\n\n");
}

TEST(SoundReport, EqualRowCountsAlwaysDetect) {
  const Matrix q = matrix(1, {{0, 0}, {0, 0}});
  const Slide s = slide(q, matrix(1, {{0, 0}, {0, 0}}));
  EXPECT_TRUE(s.detected);
  EXPECT_EQ(report(q, matrix(1, {{9, 9}, {0, 0}}), "same.bin", window_step(1024)),
            "Une ressemblance à été trouvée dans same.bin à l'instant : 0.000000s  \n\n"
            "Trouvé dans same.bin postiton :  0.000000s  0.128000s\n\n");
  EXPECT_TRUE(slide(q, matrix(1, {{0, 0}})).scores.empty());
  EXPECT_EQ(report(q, matrix(1, {{0, 0}}), "short.bin", 1.0f), "");
}

TEST(SoundReport, BestTiesGoToTheLaterOffsetAndNearScoresPrint) {
  const Matrix q = matrix(1, {{5000, 0}});
  const Matrix b = base_with_scores({0, 3000, 2001, 3000, 2000});
  const Slide s = slide(q, b);
  EXPECT_EQ(s.best_offset, 3u);
  EXPECT_EQ(report(q, b, "t.bin", window_step(2048)),
            "Une ressemblance à été trouvée dans t.bin à l'instant : 0.128000s  \n\n"
            "Une ressemblance à été trouvée dans t.bin à l'instant : 0.256000s  \n\n"
            "Une ressemblance à été trouvée dans t.bin à l'instant : 0.384000s  \n\n"
            "Trouvé dans t.bin postiton :  0.384000s  0.512000s\n\n");
}

TEST(SoundReport, TimesComeFromTheSinglePrecisionStep) {
  EXPECT_EQ(window_step(1024), 0.064f);
  EXPECT_EQ(window_step(2048), 0.128f);
  // Products in double from the float step: 100000 windows of 0.064000003 s.
  const Matrix q = matrix(1, {{5000, 0}});
  std::vector<int32_t> scores(100002, 0);
  scores[0] = 5000;
  scores[100000] = 5000;
  const std::string text = report(q, base_with_scores(scores), "l.bin", 0.064f);
  EXPECT_NE(text.find("à l'instant : 6400.000304s  \n\n"), std::string::npos) << text;
  EXPECT_NE(text.find("postiton :  6400.000304s  6400.064304s\n\n"), std::string::npos)
      << text;
}

TEST(SoundReport, TimesPrintAsPercentFDoes) {
  Slide found;
  found.scores = {5000};
  found.best = 5000;
  found.detected = true;
  // Exact ties at the sixth decimal (k / 128 s), tiny and huge times.
  for (const float step : {1.0f / 128, 3.0f / 128, 0.064f, 1e-7f, 3e9f}) {
    char end[128];
    std::snprintf(end, sizeof end, "%f", static_cast<double>(step));
    EXPECT_EQ(format_report(found, 1, "x", step),
              "Une ressemblance à été trouvée dans x à l'instant : 0.000000s  \n\n"
              "Trouvé dans x postiton :  0.000000s  " + std::string(end) + "s\n\n");
  }
}

}  // namespace
}  // namespace sound
