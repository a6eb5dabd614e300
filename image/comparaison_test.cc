#include "image/comparaison.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "image/indexation.h"
#include "image/messages.h"
#include "tests/support/temp_store.h"

using namespace image;

namespace {

const std::string kRgb = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_RGB/";
const std::string kNb = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_NB/";
const std::string kBase = "EXTERN_FILES/database/base_image/base_descripteur_image.txt";
const std::string kTemp = "EXTERN_FILES/database/base_image/temp";

class TerminalSink : public output::StringSink {
 public:
  bool out_is_terminal() const override { return true; }
};

class ImageComparaison : public testing::Test {
 protected:
  void SetUp() override {
    t.write(kRgb + "c.txt", "1 2 3 255 0 0 0 0 0");
    t.write(kNb + "g.txt", "1 2 1 0 255");
    t.write(kNb + "h.txt", "2 2 1 0 0 0 0");
    output::StringSink sink;
    ASSERT_EQ(indexImage(t.store(), sink), 0) << sink.err_text();
  }
  int search(const std::string& path) {
    sink = output::StringSink();
    return searchImage(t.store(), sink, path);
  }

  testing_support::TempStore t;
  output::StringSink sink;
};

}  // namespace

TEST_F(ImageComparaison, ScoresTheQueryKindOnly) {
  t.write("work/q.txt", "1 2 1 0 255");
  EXPECT_EQ(search("q.txt"), 0);
  EXPECT_EQ(sink.out_text(),
            "Requête : q.txt\n"
            "Image g.txt (id 1) : 100 % de ressemblance\n"
            "Image h.txt (id 2) : 25 % de ressemblance\n");
  EXPECT_EQ(sink.err_text(), "");
  // A query path is taken from the working directory, and shown as given.
  t.write("q2.txt", "1 1 3 255 0 0");
  EXPECT_EQ(search("../q2.txt"), 0);
  EXPECT_EQ(sink.out_text(), "Requête : ../q2.txt\nImage c.txt (id 0) : 100 % de ressemblance\n");
}

TEST_F(ImageComparaison, StaleQueryDescriptorRemoved) {
  t.write(kTemp, "<id> 9 </id> <type> NB </type> <valeurs> 0x00: 1; </valeurs>");
  t.write("work/q.txt", "1 1 3 0 0 0");
  EXPECT_EQ(search("q.txt"), 0);
  EXPECT_EQ(sink.out_text(), "Requête : q.txt\nImage c.txt (id 0) : 100 % de ressemblance\n");
  EXPECT_FALSE(t.exists(kTemp));
}

TEST_F(ImageComparaison, UnusableQueryOrBase) {
  EXPECT_EQ(search("absent.txt"), 1);
  EXPECT_EQ(sink.out_text(), "Requête : absent.txt\n" + std::string(kMsgOuvertureFichier));
  EXPECT_EQ(sink.err_text(), "engine: absent.txt : image illisible\n");

  t.write("work/k.txt", "1 1 2 0 0");
  EXPECT_EQ(search("k.txt"), 1);
  EXPECT_EQ(sink.out_text(), "Requête : k.txt\n" + msgTypeInconnu("k.txt"));

  t.write(kBase, "NB_BIT_RGB: 0\nNB_BIT_NB: 4\n");
  EXPECT_EQ(search("k.txt"), 1);
  EXPECT_EQ(sink.out_text(), "Requête : k.txt\n");
  EXPECT_EQ(sink.err_text(), "engine: " + rptEnteteInvalide("../" + kBase) + "\n");

  std::filesystem::remove(t.path(kBase));
  EXPECT_EQ(search("k.txt"), 1);
  EXPECT_EQ(sink.err_text(), "engine: " + rptBaseAbsente("../" + kBase) + "\n");
}

TEST_F(ImageComparaison, PathsAndNamesOnATerminalAreEscaped) {
  t.write(kNb + "e\x1b[2J.txt", "1 2 1 0 255");
  output::StringSink quiet;
  ASSERT_EQ(indexImage(t.store(), quiet), 0);
  const std::string query = "q\x1b[1m\n.txt";
  t.write("work/" + query, "1 2 1 0 255");
  TerminalSink terminal;
  EXPECT_EQ(searchImage(t.store(), terminal, query), 0);
  EXPECT_EQ(terminal.out_text(),
            "Requête : q\\x1b[1m\\n.txt\n"
            "Image e\\x1b[2J.txt (id 1) : 100 % de ressemblance\n"
            "Image g.txt (id 2) : 100 % de ressemblance\n"
            "Image h.txt (id 3) : 25 % de ressemblance\n");
  // A program reading standard output gets the bytes unchanged.
  EXPECT_EQ(search(query), 0);
  EXPECT_EQ(sink.out_text().rfind("Requête : " + query + "\nImage e\x1b[2J.txt (id 1)", 0), 0u) << sink.out_text();

  t.write("work/" + query, "1 1 2 0 0");
  TerminalSink unknown;
  EXPECT_EQ(searchImage(t.store(), unknown, query), 1);
  EXPECT_EQ(unknown.out_text(), "Requête : q\\x1b[1m\\n.txt\n" + msgTypeInconnu("q\\x1b[1m\\n.txt"));
}
