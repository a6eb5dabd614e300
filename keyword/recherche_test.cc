#include "keyword/recherche.h"

#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "keyword/messages.h"
#include "keyword/unrequested.h"
#include "tests/support/temp_store.h"

namespace keyword {
namespace {

const char kList[] = "EXTERN_FILES/database/base_texte/liste_base_texte.txt";
const char kIndex[] = "EXTERN_FILES/database/base_texte/table_index_texte.txt";

// Answers taken from a string, -1 at its end.
class Answers {
 public:
  explicit Answers(std::string bytes) : bytes_(std::move(bytes)) {}
  std::function<int()> source() {
    return [this] { return at_ < bytes_.size() ? static_cast<unsigned char>(bytes_[at_++]) : -1; };
  }
  size_t used() const { return at_; }

 private:
  std::string bytes_;
  size_t at_ = 0;
};

std::string shown(const std::string& name) { return "\n" + name + "\n" + std::string(messages::kPrompt); }

class Recherche : public testing::Test {
 protected:
  void SetUp() override {
    s_.write(kList,
             "<id> 1 </id> <filename> a.xml </filename>\n"
             "<id> 2 </id> <filename> b.xml </filename>\n"
             "<id> 3 </id> <filename> c.xml </filename>\n");
    s_.write(kIndex,
             "<mot> mot </mot> <key_nb> 1 3 ; 2 2 ; 3 1  </key_nb> \n"
             "<mot> autre </mot> <key_nb> 4 2 ; 2 5  </key_nb> \n");
  }
  testing_support::TempStore s_;
};

TEST_F(Recherche, FindDocumentsNamesTheHitsInDisplayOrderWithoutPrinting) {
  const SearchResult r = findDocuments(s_.store(), "autre");
  ASSERT_EQ(r.outcome, SearchResult::Outcome::kFound);
  EXPECT_TRUE(r.list_readable);
  ASSERT_EQ(r.documents.size(), 2u);
  EXPECT_EQ(r.documents[0].name, "b.xml");
  EXPECT_EQ(r.documents[0].count, 5);
  EXPECT_FALSE(r.documents[1].named);
  EXPECT_EQ(r.documents[1].id, 4);

  EXPECT_EQ(findDocuments(s_.store(), "Mot").outcome, SearchResult::Outcome::kNotFound);
  ::unlink(s_.path(kList).c_str());
  EXPECT_FALSE(findDocuments(s_.store(), "mot").list_readable);
  ::unlink(s_.path(kIndex).c_str());
  EXPECT_EQ(findDocuments(s_.store(), "mot").outcome, SearchResult::Outcome::kIndexUnreadable);
}

TEST_F(Recherche, PromptsUntilOneOrZeroAndTheEndOfInputPasses) {
  output::StringSink sink;
  Answers answers("x\n 0\n");
  EXPECT_EQ(byword(s_.store(), sink, "mot", answers.source()), 0);
  EXPECT_EQ(sink.out_text(), shown("a.xml") + std::string(messages::kPrompt) + shown("b.xml") + shown("c.xml"));
  EXPECT_EQ(sink.err_text(), "");
}

TEST_F(Recherche, EverythingIsReadBeforeTheFirstPrompt) {
  output::StringSink sink;
  Answers answers("0");
  std::string printed_when_loaded = "not called";
  const int status = byword(s_.store(), sink, "autre", answers.source(), [&] {
    printed_when_loaded = sink.out_text();
    // The files may change once the lock is given back: the search goes on
    // with what it read.
    s_.write(kList, "");
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(printed_when_loaded, "");
  EXPECT_EQ(sink.out_text(), shown("b.xml") + "document d'id 4 absent de la liste des textes\n");
}

TEST_F(Recherche, UnreadableIndexAndList) {
  ::unlink(s_.path(kList).c_str());
  output::StringSink sink;
  Answers answers("1\n1\n");
  EXPECT_EQ(byword(s_.store(), sink, "autre", answers.source()), 0);
  EXPECT_EQ(sink.out_text(), "error in openning file \nerror in openning file \n");
  EXPECT_EQ(answers.used(), 0u);

  ::unlink(s_.path(kIndex).c_str());
  output::StringSink none;
  EXPECT_EQ(byword(s_.store(), none, "autre", answers.source()), 1);
  EXPECT_EQ(none.out_text(), "probleme in opening the file \n mot non trouvé \n");
}

TEST_F(Recherche, AppelerDesIdShowsOneDocument) {
  output::StringSink sink;
  Answers answers("");
  appelerDesId(s_.store(), sink, 2, answers.source());
  appelerDesId(s_.store(), sink, 9, answers.source());
  EXPECT_EQ(sink.out_text(), shown("b.xml") + "document d'id 9 absent de la liste des textes\n");
}

TEST_F(Recherche, NamesWithControlBytesAreEscapedOnlyOnATerminal) {
  s_.write(kList, "<id> 1 </id> <filename> a\x1b[2J.xml </filename>\n");
  s_.write(kIndex, "<mot> mot </mot> <key_nb> 1 3  </key_nb> \n");
  class Terminal : public output::StringSink {
   public:
    bool out_is_terminal() const override { return true; }
  };
  Terminal tty;
  Answers none("");
  EXPECT_EQ(byword(s_.store(), tty, "mot", none.source()), 0);
  EXPECT_EQ(tty.out_text(), shown("a\\x1b[2J.xml"));
  output::StringSink pipe;
  Answers again("");
  EXPECT_EQ(byword(s_.store(), pipe, "mot", again.source()), 0);
  EXPECT_EQ(pipe.out_text(), shown("a\x1b[2J.xml"));
}

}  // namespace
}  // namespace keyword
