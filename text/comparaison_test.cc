#include "text/comparaison.h"

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
  EXPECT_EQ(sink.out_text(),
            "document d'id 3 a 3 mots en commun sur avec votre fichier\n"
            "document d'id 1 a 2 mots en commun sur avec votre fichier\n");
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

}  // namespace
}  // namespace text
