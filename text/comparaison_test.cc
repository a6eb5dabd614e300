#include "text/comparaison.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "store/fault_env.h"
#include "tests/support/temp_store.h"

namespace text {
namespace {

const char kDescriptors[] = "EXTERN_FILES/database/base_texte/base_descripteur_texte.txt";
const char kQueryDescriptor[] = "EXTERN_FILES/database/base_texte/descripteur_temporaire.txt";

std::string record(int id, const std::string& words) {
  return "<debut> <id> " + std::to_string(id) + " </id> <mots> " + words + "  </mots> </fin>\n";
}

const char kExpected[] =
    "document d'id 3 a 3 mots en commun sur avec votre fichier\n"
    "document d'id 1 a 2 mots en commun sur avec votre fichier\n";
const char kWriteProblem[] = "ERREUR :  PB avec fonction searchOccurencesAndInsertBD2\n";

class TextComparaison : public testing::Test {
 protected:
  void SetUp() override {
    s_.write(kDescriptors, record(1, "maison 3 ; jardin 3 ; ") + record(2, "arbre 4 ; ciel 3 ; ") +
                               record(3, "maisonnette 3 ; jardinier 5 ; arbre 3 ; "));
    s_.write("q.xml", "<q>maison maison maison jardin jardin jardin arbre arbre arbre</q>");
  }
  testing_support::TempStore s_;
};

TEST_F(TextComparaison, ListsTheDocumentsSharingTwoWordsLastFirst) {
  output::StringSink sink;
  EXPECT_EQ(indexFileToCompare(s_.store(), sink, "../q.xml"), 0);
  EXPECT_EQ(sink.out_text(), kExpected);
  EXPECT_EQ(sink.err_text(), "");
  EXPECT_FALSE(s_.exists(kQueryDescriptor));
  EXPECT_EQ(s_.read("INDEXATION/temp_txt/cpy/q.xml"), s_.read("q.xml"));
  EXPECT_EQ(s_.read("INDEXATION/temp_txt/pure_txts/q.xml"),
            "maison maison maison jardin jardin jardin arbre arbre arbre");
}

TEST_F(TextComparaison, UnreadableQueryIsOneLine) {
  output::StringSink sink;
  EXPECT_EQ(indexFileToCompare(s_.store(), sink, "../absent.xml"), 1);
  EXPECT_EQ(sink.out_text(), "");
  EXPECT_EQ(sink.err_text(), "engine: fichier de requête illisible : ../absent.xml\n");
  EXPECT_EQ(indexFileToCompare(s_.store(), sink, "/"), 1);
}

// The query is scored from its description in memory: a temporary
// descriptor that cannot be written costs only that file.
TEST_F(TextComparaison, ATemporaryDescriptorThatCannotBeWrittenIsReportedAndTheResultsStayRight) {
  store::FaultEnv fault(store::Env::Default());
  // The query's copy and pure text take the first two writes.
  fault.FailNth(store::FaultEnv::Op::kWrite, 3, ENOSPC);
  output::StringSink sink;
  EXPECT_EQ(indexFileToCompare(s_.store(&fault), sink, "../q.xml"), 0);
  EXPECT_EQ(sink.out_text(), kExpected);
  EXPECT_EQ(sink.err_text(), std::string(kWriteProblem) +
                                 "engine: descripteur temporaire non écrit : ../EXTERN_FILES/database/base_texte/"
                                 "descripteur_temporaire.txt : No space left on device\n");
  EXPECT_FALSE(s_.exists(kQueryDescriptor));
}

// A descriptor left by an interrupted comparison, in a directory where it can
// be neither replaced nor removed, is never taken for the query.
TEST_F(TextComparaison, AStaleDescriptorNeverStandsInForTheQuery) {
  const std::string stale = record(-1, "arbre 3 ; ciel 3 ; ");
  s_.write(kQueryDescriptor, stale);
  store::FaultEnv fault(store::Env::Default());
  fault.FailNth(store::FaultEnv::Op::kWrite, 3, EACCES);
  fault.FailNth(store::FaultEnv::Op::kRemove, 1, EACCES);
  output::StringSink sink;
  EXPECT_EQ(indexFileToCompare(s_.store(&fault), sink, "../q.xml"), 0);
  EXPECT_EQ(sink.out_text(), kExpected);
  EXPECT_EQ(sink.err_text(), std::string(kWriteProblem) +
                                 "engine: descripteur temporaire non écrit : ../EXTERN_FILES/database/base_texte/"
                                 "descripteur_temporaire.txt : Permission denied\n"
                                 "engine: impossible de supprimer ../EXTERN_FILES/database/base_texte/"
                                 "descripteur_temporaire.txt : Permission denied\n");
  EXPECT_EQ(s_.read(kQueryDescriptor), stale);
}

TEST_F(TextComparaison, AStaleDescriptorInAReadOnlyDirectoryNeverStandsInForTheQuery) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories (the FaultEnv case covers it)";
  const std::string stale = record(-1, "arbre 3 ; ciel 3 ; ");
  s_.write(kQueryDescriptor, stale);
  ASSERT_EQ(::chmod(s_.path("EXTERN_FILES/database/base_texte").c_str(), 0555), 0);
  output::StringSink sink;
  EXPECT_EQ(indexFileToCompare(s_.store(), sink, "../q.xml"), 0);
  ::chmod(s_.path("EXTERN_FILES/database/base_texte").c_str(), 0755);
  EXPECT_EQ(sink.out_text(), kExpected);
  EXPECT_EQ(sink.err_text().rfind(kWriteProblem, 0), 0u) << sink.err_text();
  EXPECT_EQ(s_.read(kQueryDescriptor), stale);
}

}  // namespace
}  // namespace text
