#include "launcher/launcher.h"

#include <cerrno>

#include <gtest/gtest.h>

#include <vector>

#include "store/fault_env.h"
#include "tests/support/temp_store.h"

using launcher::Kind;

namespace {

launcher::Request parse(std::vector<const char*> words) {
  words.insert(words.begin(), "engine");
  return launcher::parse_request(static_cast<int>(words.size()), words.data());
}

}  // namespace

TEST(ParseRequest, NamesEachRequest) {
  EXPECT_EQ(parse({"indexation"}).kind, Kind::kIndexation);
  EXPECT_EQ(parse({"indexation", "extra", "words"}).kind, Kind::kIndexation);
  auto r = parse({"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(r.kind, Kind::kCompareText);
  EXPECT_EQ(r.argument, "../q.xml");
  EXPECT_EQ(parse({"comparaison", "son", "q.bin"}).kind, Kind::kCompareSound);
  EXPECT_EQ(parse({"comparaison", "image", "q.txt"}).kind, Kind::kCompareImage);
  r = parse({"recherche", "maison"});
  EXPECT_EQ(r.kind, Kind::kSearch);
  EXPECT_EQ(r.argument, "maison");
}

TEST(ParseRequest, AnythingElseIsUsage) {
  EXPECT_EQ(parse({}).kind, Kind::kUsage);
  EXPECT_EQ(parse({"Indexation"}).kind, Kind::kUsage);
  EXPECT_EQ(parse({"comparaison"}).kind, Kind::kUsage);
  EXPECT_EQ(parse({"comparaison", "texte"}).kind, Kind::kUsage);
  EXPECT_EQ(parse({"comparaison", "Texte", "q.xml"}).kind, Kind::kUsage);
  EXPECT_EQ(parse({"comparaison", "sound", "q.bin"}).kind, Kind::kUsage);
  EXPECT_EQ(parse({"recherche"}).kind, Kind::kUsage);
  EXPECT_EQ(parse({"unknown"}).kind, Kind::kUsage);
}

TEST(Run, NeverRunsUnlockedOrOnAHalfCommittedGroup) {
  testing_support::TempStore s(/*with_config=*/false);
  {
    store::FaultEnv env(store::Env::Default());
    env.FailNth(store::FaultEnv::Op::kLock, 1, EACCES, /*onwards=*/true);
    output::StringSink sink;
    EXPECT_EQ(launcher::run(s.store(&env), sink, parse({"indexation"})), 1);
    EXPECT_EQ(sink.out_text(), "");
    EXPECT_NE(sink.err_text().find("impossible de verrouiller le magasin"), std::string::npos) << sink.err_text();
    EXPECT_NE(sink.err_text().find("Permission denied"), std::string::npos);
    EXPECT_FALSE(s.exists("EXTERN_FILES/configuration.config"));
  }
  // A commit a crash left decided but unfinished, which cannot be finished.
  s.write("EXTERN_FILES/database/base_texte/liste_base_texte.txt", "old");
  s.write("EXTERN_FILES/database/base_texte/.liste_base_texte.txt.new", "new");
  s.write("EXTERN_FILES/database/base_texte/.commit", "commit\nliste_base_texte.txt\nend\n");
  for (const char* word : {"recherche", "classement"}) {
    store::FaultEnv env(store::Env::Default());
    env.FailNth(store::FaultEnv::Op::kRename, 1, EROFS, /*onwards=*/true);
    output::StringSink sink;
    const auto request = word == std::string("recherche") ? parse({"recherche", "maison"})
                                                          : parse({"classement", "texte", "../q.xml"});
    EXPECT_EQ(launcher::run(s.store(&env), sink, request), 1) << word;
    EXPECT_EQ(sink.out_text(), "") << word;
    EXPECT_NE(sink.err_text().find("reprise d'une indexation interrompue impossible"), std::string::npos)
        << sink.err_text();
    EXPECT_EQ(s.read("EXTERN_FILES/database/base_texte/liste_base_texte.txt"), "old");
  }
  // Once it can be finished, the next request does it first.
  output::StringSink sink;
  launcher::run(s.store(), sink, parse({"recherche", "maison"}));
  EXPECT_EQ(s.read("EXTERN_FILES/database/base_texte/liste_base_texte.txt"), "new");
  EXPECT_FALSE(s.exists("EXTERN_FILES/database/base_texte/.commit"));
}
