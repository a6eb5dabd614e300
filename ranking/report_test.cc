#include "ranking/report.h"

#include <gtest/gtest.h>

namespace {

ranking::Ranking SoundMatch() {
  ranking::Ranking r;
  r.results = {{3, "rafales.bin", 41, 2.56}, {1, "b\xe9.bin", 9, 0.5}};
  r.match = true;
  r.confidence = 0.93;
  r.match_label = "trouvé";
  r.threshold = 8;
  r.best_candidate = r.results[0];
  return r;
}

class TerminalSink : public output::StringSink {
 public:
  bool out_is_terminal() const override { return true; }
};

}  // namespace

TEST(Report, JsonHasTheDocumentedShapeAndOrder) {
  const auto j = ranking::JsonReport("son", "q.bin", SoundMatch(), 0);
  EXPECT_EQ(j.dump(),
            "{\"medium\":\"son\",\"query\":\"q.bin\",\"verdict\":{\"match\":true,\"id\":3,"
            "\"name\":\"rafales.bin\",\"offset_s\":2.56,\"confidence\":0.93},\"results\":["
            "{\"rank\":1,\"id\":3,\"name\":\"rafales.bin\",\"score\":41.0,\"offset_s\":2.56},"
            "{\"rank\":2,\"id\":1,\"name\":\"b\xc3\xa9.bin\",\"score\":9.0,\"offset_s\":0.5}]}");
  // --max cuts the results, not the verdict.
  EXPECT_EQ(ranking::JsonReport("son", "q.bin", SoundMatch(), 1)["results"].size(), 1u);
}

TEST(Report, NoMatchHasNullsAndTextsHaveNullOffsets) {
  ranking::Ranking r;
  r.results = {{7, "doc.xml", 3.5, std::nullopt}};
  r.best_candidate = r.results[0];
  r.threshold = 0.9;
  r.confidence = 1.7;  // clamped
  const auto j = ranking::JsonReport("texte", "-", r, 10);
  EXPECT_EQ(j["verdict"].dump(),
            "{\"match\":false,\"id\":null,\"name\":null,\"offset_s\":null,\"confidence\":1.0}");
  EXPECT_TRUE(j["results"][0]["offset_s"].is_null());
  EXPECT_EQ(j["query"], "-");
}

TEST(Report, HumanLinesNameTheVerdictAndEscapeNamesOnATerminal) {
  output::StringSink pipe;
  EXPECT_EQ(ranking::HumanReport("q.bin", SoundMatch(), 10, pipe),
            "Requête : q.bin\n"
            "Verdict : trouvé : rafales.bin (id 3) à 2.560 s, confiance 0.93\n"
            "1. rafales.bin (id 3) score 41.000 à 2.560 s\n"
            "2. b\xe9.bin (id 1) score 9.000 à 0.500 s\n");
  ranking::Ranking none;
  none.best_candidate = ranking::Result{2, "x\x1b[2J.xml", 0.41, std::nullopt};
  none.threshold = 0.9;
  TerminalSink tty;
  EXPECT_EQ(ranking::HumanReport("q", none, 10, tty),
            "Requête : q\nVerdict : aucune correspondance sûre (meilleur candidat : x\\x1b[2J.xml "
            "(id 2), score 0.410 sous le seuil 0.900)\n");
  none.measure_name = "similitude";
  none.measure = 0.62;
  EXPECT_EQ(ranking::HumanReport("q", none, 0, pipe),
            "Requête : q\nVerdict : aucune correspondance sûre (meilleur candidat : x\x1b[2J.xml "
            "(id 2), similitude 0.620 sous le seuil 0.900)\n");
  EXPECT_EQ(ranking::HumanReport("q", ranking::Ranking(), 10, tty),
            "Requête : q\nVerdict : aucune correspondance sûre (aucun candidat)\n");
}
