#include "web/service.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "ranking/report.h"
#include "tests/support/temp_store.h"

namespace web {
namespace {

// Ranks by the lines of its ranked file, "ID NAME SCORE" each; the query
// "pas valide" is refused, and so is a ranked file saying "abîmé".
class FakeRanker : public ranking::Ranker {
 public:
  const char* medium() const override { return "texte"; }
  const char* ranked_file() const override { return "../EXTERN_FILES/database/base_texte/faux.txt"; }
  Outcome Rank(std::string_view ranked, std::string_view query, ranking::Ranking* ranking,
               std::string* why) const override {
    if (query == "pas valide") {
      *why = "pas un texte";
      return Outcome::kBadQuery;
    }
    if (ranked == "abîmé") {
      *why = "format inconnu";
      return Outcome::kBadRankedFile;
    }
    std::istringstream in{std::string(ranked)};
    ranking::Result r;
    while (in >> r.id >> r.name >> r.score) ranking->results.push_back(r);
    ranking->match = true;
    ranking->confidence = 0.75;
    ranking->match_label = "source";
    return Outcome::kRanked;
  }
};

class ServiceTest : public ::testing::Test {
 protected:
  nlohmann::json Body(const Reply& r) {
    EXPECT_EQ(r.content_type, "application/json");
    return nlohmann::json::parse(r.body);
  }
  // The reply is {"error": "..."} with the status given.
  void ExpectError(const Reply& r, int status, const std::string& part = "") {
    EXPECT_EQ(r.status, status) << r.body;
    const nlohmann::json j = Body(r);
    ASSERT_TRUE(j.is_object());
    ASSERT_TRUE(j.contains("error")) << r.body;
    EXPECT_TRUE(j["error"].is_string());
    if (!part.empty()) {
      EXPECT_NE(j["error"].get<std::string>().find(part), std::string::npos) << r.body;
    }
  }

  testing_support::TempStore dir_;
  store::Store store_ = dir_.store();
  FakeRanker ranker_;
  Service service_{store_, "/le/magasin", [this](const std::string& medium) -> const ranking::Ranker* {
                     return medium == "texte" ? &ranker_ : nullptr;
                   }};
};

TEST_F(ServiceTest, ClassementAnswersAsTheCommandLineJson) {
  dir_.write("EXTERN_FILES/database/base_texte/faux.txt", "4 d.xml 0.9\n2 b.xml 0.5\n9 i.xml 0.1\n");
  const Reply r = service_.Classement("texte", {{"max", "2"}, {"nom", "<b>requête</b>.xml"}}, "un texte");
  ASSERT_EQ(r.status, 200) << r.body;

  ranking::Ranking expected;
  FakeRanker().Rank("4 d.xml 0.9\n2 b.xml 0.5\n9 i.xml 0.1\n", "un texte", &expected, nullptr);
  EXPECT_EQ(r.body, ranking::JsonReport("texte", "<b>requête</b>.xml", expected, 2).dump());
  const nlohmann::json j = Body(r);
  EXPECT_EQ(j["results"].size(), 2u);
  EXPECT_EQ(j["results"][0]["name"], "d.xml");
  EXPECT_EQ(j["query"], "<b>requête</b>.xml");

  EXPECT_EQ(Body(service_.Classement("texte", {}, "x"))["query"], "-");
  EXPECT_EQ(Body(service_.Classement("texte", {{"max", "0"}}, "x"))["results"].size(), 3u);
}

TEST_F(ServiceTest, ClassementErrors) {
  ExpectError(service_.Classement("image", {}, "x"), 503, "pas encore disponible");
  ExpectError(service_.Classement("video", {}, "x"), 404);
  ExpectError(service_.Classement("texte", {}, ""), 400, "vide");
  ExpectError(service_.Classement("texte", {{"max", "beaucoup"}}, "x"), 400, "max");
  // No indexation yet: the ranked file is missing.
  ExpectError(service_.Classement("texte", {}, "x"), 503, "indexation");
  dir_.write("EXTERN_FILES/database/base_texte/faux.txt", "abîmé");
  ExpectError(service_.Classement("texte", {}, "x"), 503, "indexation");
  dir_.write("EXTERN_FILES/database/base_texte/faux.txt", "1 a.xml 1\n");
  ExpectError(service_.Classement("texte", {}, "pas valide"), 400, "pas un texte");
}

TEST_F(ServiceTest, RechercheListsDocumentsHighestCountFirst) {
  ExpectError(service_.Recherche({{"mot", "maison"}}), 503, "indexation");
  dir_.write("EXTERN_FILES/database/base_texte/table_index_texte.txt",
             "<mot> maison </mot> <key_nb> 1 2 ; 3 7 ; 2 5 ; 5 7  </key_nb> \n"
             "<mot> jardin </mot> <key_nb> 2 4  </key_nb> \n");
  ExpectError(service_.Recherche({}), 400, "mot");
  ExpectError(service_.Recherche({{"mot", ""}}), 400, "mot");

  // Without a list the documents are still given, unnamed.
  nlohmann::json j = Body(service_.Recherche({{"mot", "jardin"}}));
  ASSERT_EQ(j["results"].size(), 1u);
  EXPECT_TRUE(j["results"][0]["name"].is_null());

  dir_.write("EXTERN_FILES/database/base_texte/liste_base_texte.txt",
             "<id> 1 </id> <filename> un.xml </filename>\n<id> 2 </id> <filename> deux.xml </filename>\n"
             "<id> 3 </id> <filename> trois.xml </filename>\n<id> 5 </id> <filename> cinq.xml </filename>\n");
  const Reply r = service_.Recherche({{"mot", "maison"}});
  ASSERT_EQ(r.status, 200);
  j = Body(r);
  EXPECT_EQ(j["mot"], "maison");
  ASSERT_EQ(j["results"].size(), 4u);
  // Equal counts keep the order the command line shows.
  const std::vector<std::pair<int, int>> order{{3, 7}, {5, 7}, {2, 5}, {1, 2}};
  for (size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(j["results"][i]["id"], order[i].first) << i;
    EXPECT_EQ(j["results"][i]["count"], order[i].second) << i;
  }
  EXPECT_EQ(j["results"][0]["name"], "trois.xml");

  const Reply nowhere = service_.Recherche({{"mot", "Maison"}});
  EXPECT_EQ(nowhere.status, 200);
  EXPECT_EQ(nowhere.body, R"({"mot":"Maison","results":[]})");
}

TEST_F(ServiceTest, MediaRoutesCheckTheirSegment) {
  ExpectError(service_.Media("image", "1.wav"), 400);
  ExpectError(service_.Media("son", "../x.wav"), 400);
  ExpectError(service_.Media("texte", "1.txt"), 400);
  ExpectError(service_.Media("image", "1.png"), 503);
}

TEST_F(ServiceTest, EtatCountsTheListsAndTheRankers) {
  dir_.write("EXTERN_FILES/database/base_son/Liste_Base_Son.txt",
             "<id> 0 </id><fichier> a.bin </fichier>\n<id> 1 </id><fichier> b.bin </fichier>\n");
  const Reply r = service_.Etat();
  ASSERT_EQ(r.status, 200);
  EXPECT_EQ(r.body,
            R"({"store":"/le/magasin","texte":0,"image":0,"son":2,)"
            R"("classement":{"texte":true,"image":false,"son":false}})");
}

}  // namespace
}  // namespace web
