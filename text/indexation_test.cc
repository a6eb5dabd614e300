#include "text/indexation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "store/commit.h"
#include "store/fault_env.h"
#include "text/hook_env.h"
#include "text/ranking/describe.h"
#include "common/le_bytes.h"
#include "text/ranking/ranked_file_format.h"
#include "text/ranking/ranked_file_writer.h"
#include "tests/support/temp_store.h"

namespace text {
namespace {

const char kTexts[] = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes/";
const char kBaseDir[] = "EXTERN_FILES/database/base_texte/";
const char* const kBaseFiles[] = {"liste_base_texte.txt", "base_descripteur_texte.txt", "table_index_texte.txt"};
const char kClosing[] = "tous les documents xml ont bien été indexés !\n";

std::string doc(const std::string& word, int n) {
  std::string body;
  for (int i = 0; i < n; ++i) body += word + " ";
  return "<doc>" + body + "</doc>\n";
}

class TextIndexation : public testing::Test {
 protected:
  // The three base files, in order.
  std::vector<std::string> bases() const {
    std::vector<std::string> out;
    for (const char* name : kBaseFiles) out.push_back(s_.read(std::string(kBaseDir) + name));
    return out;
  }
  int index(store::Env* env, output::StringSink* sink) const {
    return rmThenStartIndexation(s_.store(env), *sink);
  }

  testing_support::TempStore s_;
};

TEST_F(TextIndexation, WritesTheThreeBasesAndTheScratchSpace) {
  s_.write(std::string(kTexts) + "a.xml", doc("maison", 3));
  s_.write(std::string(kTexts) + "b.xml", doc("jardin", 4));
  output::StringSink sink;
  EXPECT_EQ(index(store::Env::Default(), &sink), 0);
  EXPECT_EQ(sink.out_text(), kClosing);
  EXPECT_EQ(sink.err_text(), "");
  EXPECT_EQ(bases(), (std::vector<std::string>{
                         "<id> 1 </id> <filename> a.xml </filename>\n"
                         "<id> 2 </id> <filename> b.xml </filename>\n",
                         "<debut> <id> 1 </id> <mots> maison 3 ;   </mots> </fin>\n"
                         "<debut> <id> 2 </id> <mots> jardin 4 ;   </mots> </fin>\n",
                         "<mot> maison </mot> <key_nb> 1 3  </key_nb> \n"
                         "<mot> jardin </mot> <key_nb> 2 4  </key_nb> \n"}));
  EXPECT_EQ(s_.read("INDEXATION/temp_txt/cpy/b.xml"), doc("jardin", 4));
  EXPECT_EQ(s_.read("INDEXATION/temp_txt/pure_txts/a.xml"), "maison maison maison \n");
}

// The ranked index is written as its head and then the documents' words
// straight from their descriptions, in pieces, a document's words longer
// than a piece on their own: the bytes are those of the whole file built at
// once.
TEST_F(TextIndexation, TheRankedIndexIsTheFileOfTheDescriptions) {
  const std::vector<std::pair<std::string, std::string>> docs = {
      {"a.xml", doc("maison", 3)}, {"b.xml", doc("jardins", 300000)}, {"c.xml", doc("forêt", 5)},
      {"d.xml", doc("rivière", 200000)}, {"e.xml", doc("été", 2)}};
  for (const auto& [name, bytes] : docs) s_.write(std::string(kTexts) + name, bytes);
  output::StringSink sink;
  ASSERT_EQ(index(store::Env::Default(), &sink), 0);

  std::vector<textrank::Description> described(docs.size());
  std::vector<textrank::IndexedDocument> indexed;
  for (size_t i = 0; i < docs.size(); ++i) {
    described[i] = textrank::Describer().describe(docs[i].second);
    indexed.push_back(
        {static_cast<int64_t>(i + 1), docs[i].first, &described[i], textrank::digest_of(docs[i].second)});
  }
  ASSERT_GT(described[1].words.size(), size_t{2} << 20);
  EXPECT_TRUE(s_.read(std::string(kBaseDir) + "classement_texte.idx") == textrank::build_ranked_file(indexed));
}

// Texts of several words, some shared, so that documents share stems.
std::string prose(int n) {
  static const char* const kWords[] = {"Les", "jardins", "d'été", "fleurissent", "près", "de", "la", "rivière",
                                       "où", "l'enfant", "joue", "avec", "les", "chats", "et", "chiens"};
  std::string body = "<texte>";
  for (int i = 0; i < 40 + 7 * n; ++i) body += std::string(kWords[(i * (n + 3)) % 16]) + (i % 9 == 8 ? ". " : " ");
  return body + "</texte>\n";
}

// A second indexation reuses what the ranked index holds of the documents
// left as they were, and writes the very bytes a first indexation of the
// same corpus writes, whatever changed between the two: a document edited,
// one added, one removed, one renamed. With nothing changed the index is
// left as it is. A previous index damaged anywhere is not reused at all.
TEST_F(TextIndexation, AReindexationWritesWhatAFirstIndexationWrites) {
  const std::string ranked = std::string(kBaseDir) + "classement_texte.idx";
  const auto fresh = [&](output::StringSink* sink) {
    testing_support::TempStore other;
    for (const char* name : {"a4.xml", "d0.xml", "d1.xml", "d3.xml", "d5.xml", "d7.xml"})
      if (s_.exists(std::string(kTexts) + name))
        other.write(std::string(kTexts) + name, s_.read(std::string(kTexts) + name));
    EXPECT_EQ(rmThenStartIndexation(other.store(), *sink), 0);
    for (const char* name : kBaseFiles)
      EXPECT_EQ(s_.read(std::string(kBaseDir) + name), other.read(std::string(kBaseDir) + name)) << name;
    return other.read(ranked);
  };
  const auto inode = [&] {
    struct stat st;
    return ::stat(s_.path(ranked).c_str(), &st) == 0 ? st.st_ino : 0;
  };
  for (int i = 0; i < 6; ++i) s_.write(std::string(kTexts) + "d" + std::to_string(i) + ".xml", prose(i));
  output::StringSink first;
  ASSERT_EQ(index(store::Env::Default(), &first), 0);

  s_.write(std::string(kTexts) + "d1.xml", prose(1) + "<p>un ajout</p>");
  s_.write(std::string(kTexts) + "d7.xml", prose(7));
  ASSERT_EQ(::unlink(s_.path(std::string(kTexts) + "d2.xml").c_str()), 0);
  ASSERT_EQ(::rename(s_.path(std::string(kTexts) + "d4.xml").c_str(), s_.path(std::string(kTexts) + "a4.xml").c_str()),
            0);
  output::StringSink again, fresh_sink;
  ASSERT_EQ(index(store::Env::Default(), &again), 0);
  const std::string expected = fresh(&fresh_sink);
  EXPECT_EQ(again.out_text(), fresh_sink.out_text());
  EXPECT_TRUE(s_.read(ranked) == expected);

  // Nothing changed: the file stays, bytes and all.
  const auto before = inode();
  ASSERT_EQ(index(store::Env::Default(), &again), 0);
  EXPECT_EQ(inode(), before);
  EXPECT_TRUE(s_.read(ranked) == expected);

  // Unchanged documents do take their words from the previous index: one
  // word of the last one altered there (checksum made good) comes through
  // when another document changes.
  std::string altered = expected;
  const size_t joue = altered.rfind("joue");
  ASSERT_NE(joue, std::string::npos);
  altered[joue] = 'h';
  const std::string_view body = std::string_view(altered).substr(textrank::format::kHeaderSize);
  le::put64(altered.data() + textrank::format::kChecksumAt, textrank::checksum_of({&body, 1}));
  s_.write(ranked, altered);
  s_.write(std::string(kTexts) + "d0.xml", prose(0) + "<p>encore</p>");
  ASSERT_EQ(index(store::Env::Default(), &again), 0);
  EXPECT_NE(s_.read(ranked).find("houe"), std::string::npos);

  // Without the good checksum, the same change, or any byte flipped, is
  // not reused, nor left in place.
  const std::string now = fresh(&fresh_sink);
  altered = s_.read(ranked);
  altered[textrank::format::kChecksumAt] ^= 1;
  std::vector<std::string> damaged = {altered};
  for (size_t at = textrank::format::kHeaderSize; at < now.size(); at += now.size() / 23) {
    damaged.push_back(now);
    damaged.back()[at] ^= 0x20;
  }
  for (const std::string& bytes : damaged) {
    s_.write(ranked, bytes);
    ASSERT_EQ(index(store::Env::Default(), &again), 0);
    EXPECT_TRUE(s_.read(ranked) == now);
  }
}

// A full disk while the new bases are staged, or a rename refused before the
// group is decided: the old bases stay whole and the cause is reported.
TEST_F(TextIndexation, AFailedWriteOrRenameLeavesTheOldBasesWhole) {
  s_.write(std::string(kTexts) + "a.xml", doc("maison", 3));
  output::StringSink first;
  ASSERT_EQ(index(store::Env::Default(), &first), 0);
  const std::vector<std::string> old = bases();
  s_.write(std::string(kTexts) + "b.xml", doc("jardin", 4));

  struct Case {
    store::FaultEnv::Op op;
    int nth;
    int error;
    std::string line;
  } cases[] = {
      // One write empties the scratch table, four write the documents'
      // copies, then each staged file takes two (creation, content): the
      // ninth appends the descriptor base.
      {store::FaultEnv::Op::kWrite, 1 + 4 + 4, ENOSPC,
       "engine: base de textes non écrite : ../EXTERN_FILES/database/base_texte/"
       ".base_descripteur_texte.txt.new : No space left on device\n"},
      // The ranked index's creation and head come after the three bases
      // (two writes each); its words come next.
      {store::FaultEnv::Op::kWrite, 1 + 4 + 6 + 2 + 1, ENOSPC,
       "engine: base de textes non écrite : ../EXTERN_FILES/database/base_texte/"
       ".classement_texte.idx.new : No space left on device\n"},
      // The first rename puts the commit record in place.
      {store::FaultEnv::Op::kRename, 1, EIO,
       "engine: base de textes non écrite : ../EXTERN_FILES/database/base_texte/.commit : "
       "Input/output error\n"},
  };
  for (const Case& c : cases) {
    store::FaultEnv fault(store::Env::Default());
    fault.FailNth(c.op, c.nth, c.error);
    output::StringSink sink;
    EXPECT_EQ(index(&fault, &sink), 1);
    EXPECT_EQ(sink.out_text(), "");  // no closing line for bases not written
    EXPECT_EQ(bases(), old);
    EXPECT_NE(sink.err_text().find(c.line), std::string::npos) << sink.err_text();
    EXPECT_EQ(sink.err_text().find("engine: "), sink.err_text().rfind("engine: ")) << sink.err_text();
    // Nothing staged is left behind.
    EXPECT_FALSE(s_.exists(std::string(kBaseDir) + ".commit"));
    for (const char* name : kBaseFiles) EXPECT_FALSE(s_.exists(std::string(kBaseDir) + "." + name + ".new"));
  }
}

TEST_F(TextIndexation, MissingBaseDirectoryLeavesTheScratchSpaceAlone) {
  s_.write(std::string(kTexts) + "a.xml", doc("maison", 3));
  s_.write("INDEXATION/temp_txt/cpy/kept.xml", "x");
  ASSERT_EQ(::rmdir(s_.path(kBaseDir).c_str()), 0);
  output::StringSink sink;
  EXPECT_EQ(index(store::Env::Default(), &sink), 1);
  EXPECT_EQ(sink.out_text(), "");
  EXPECT_EQ(sink.err_text(),
            "engine: répertoire de la base de textes introuvable : ../EXTERN_FILES/database/base_texte/\n");
  EXPECT_TRUE(s_.exists("INDEXATION/temp_txt/cpy/kept.xml"));
}

// A crash at any call that changes the disk, followed by the recovery every
// request starts with, leaves the three text base files all old or all new;
// the next indexation then gives the bytes of an uninterrupted one.
TEST_F(TextIndexation, ACrashAtAnyChangeLeavesTheBasesAllOldOrAllNew) {
  s_.write(std::string(kTexts) + "a.xml", doc("maison", 3));
  s_.write(std::string(kTexts) + "b.xml", doc("jardin", 4));
  output::StringSink first;
  ASSERT_EQ(index(store::Env::Default(), &first), 0);
  const std::vector<std::string> old = bases();

  s_.write(std::string(kTexts) + "a.xml", doc("maisonnette", 5));
  s_.write(std::string(kTexts) + "c.xml", doc("arbre", 3));
  int changes = 0;
  std::vector<std::string> now;
  {
    store::FaultEnv counting(store::Env::Default());
    output::StringSink sink;
    ASSERT_EQ(index(&counting, &sink), 0);
    changes = counting.changes();
    now = bases();
  }
  ASSERT_NE(old, now);
  ASSERT_GT(changes, 10);

  auto restore = [&] {
    for (size_t k = 0; k < 3; ++k) s_.write(std::string(kBaseDir) + kBaseFiles[k], old[k]);
  };
  for (int n = 1; n <= changes + 1; ++n) {
    restore();
    store::FaultEnv crash(store::Env::Default());
    crash.CrashAt(n);
    output::StringSink sink;
    const int status = index(&crash, &sink);
    if (n > changes) {
      EXPECT_EQ(status, 0);
    }

    std::unique_ptr<store::Directory> dir;
    ASSERT_TRUE(store::Env::Default()->OpenDirectory(s_.path(kBaseDir), &dir).ok());
    ASSERT_TRUE(store::Recover(dir.get()).ok()) << n;
    const std::vector<std::string> after = bases();
    EXPECT_TRUE(after == old || after == now) << "crash at change " << n << " of " << changes;
    if (status == 0) {
      EXPECT_EQ(after, now) << n;
    }
    EXPECT_FALSE(s_.exists(std::string(kBaseDir) + ".commit")) << n;

    output::StringSink again;
    EXPECT_EQ(index(store::Env::Default(), &again), 0);
    EXPECT_EQ(bases(), now) << n;
  }
}

// The hook of a HookEnv that runs `act` on the real path of corpus entry
// `name` just before the indexation reads it.
HookEnv::Hook before_reading(const testing_support::TempStore& s, const std::string& name,
                                      std::function<void(const std::string&)> act) {
  return [&s, name, act](const std::string& path) {
    const std::string suffix = "/Textes/" + name;
    if (path.size() >= suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0)
      act(s.path(std::string(kTexts) + name));
  };
}

// A document removed between the listing and its reading is refused like an
// unreadable file: no identifier, no scratch files, and the next documents
// numbered without a gap.
TEST_F(TextIndexation, ADocumentThatVanishesAfterTheListingIsRefused) {
  for (const char* name : {"a.xml", "b.xml", "c.xml"}) s_.write(std::string(kTexts) + name, doc("mot" + std::string(name, 1), 3));
  output::StringSink first;
  ASSERT_EQ(index(store::Env::Default(), &first), 0);
  ASSERT_TRUE(s_.exists("INDEXATION/temp_txt/cpy/b.xml"));

  HookEnv env(store::Env::Default(),
                       before_reading(s_, "b.xml", [](const std::string& path) { ::unlink(path.c_str()); }));
  output::StringSink sink;
  EXPECT_EQ(index(&env, &sink), 0);
  EXPECT_EQ(sink.err_text(), "engine: ../EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes/b.xml : fichier illisible, ignoré\n");
  EXPECT_EQ(bases(), (std::vector<std::string>{
                         "<id> 1 </id> <filename> a.xml </filename>\n"
                         "<id> 2 </id> <filename> c.xml </filename>\n",
                         "<debut> <id> 1 </id> <mots> mota 3 ;   </mots> </fin>\n"
                         "<debut> <id> 2 </id> <mots> motc 3 ;   </mots> </fin>\n",
                         "<mot> mota </mot> <key_nb> 1 3  </key_nb> \n"
                         "<mot> motc </mot> <key_nb> 2 3  </key_nb> \n"}));
  EXPECT_FALSE(s_.exists("INDEXATION/temp_txt/cpy/b.xml"));
  EXPECT_FALSE(s_.exists("INDEXATION/temp_txt/pure_txts/b.xml"));
}

using TextIndexationDeathTest = TextIndexation;

// A document swapped for a FIFO after the listing would block a reader that
// waits for a writer; it is refused at once. Run in a child with an alarm so
// a hang fails the test instead of stopping the suite.
TEST_F(TextIndexationDeathTest, ADocumentSwappedForAFifoIsRefusedWithoutWaiting) {
  for (const char* name : {"a.xml", "b.xml", "c.xml"}) s_.write(std::string(kTexts) + name, doc("mot" + std::string(name, 1), 3));
  HookEnv env(store::Env::Default(), before_reading(s_, "b.xml", [](const std::string& path) {
                         ::unlink(path.c_str());
                         ::mkfifo(path.c_str(), 0644);
                       }));
  EXPECT_EXIT(
      {
        ::alarm(60);
        output::StringSink sink;
        const int status = index(&env, &sink);
        const bool ok = status == 0 &&
                        sink.err_text() ==
                            "engine: ../EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes/b.xml : pas un fichier "
                            "ordinaire, ignoré\n" &&
                        bases()[0] ==
                            "<id> 1 </id> <filename> a.xml </filename>\n<id> 2 </id> <filename> c.xml </filename>\n";
        if (!ok) std::fprintf(stderr, "status %d\n%s", status, sink.err_text().c_str());
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace text
