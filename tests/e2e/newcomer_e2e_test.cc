// A newcomer's first steps: help, version, a store made with init, requests
// run from elsewhere with -C, and a request started outside any store.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

using e2e::Store;

namespace {

e2e::RunOptions In(const std::string& cwd) {
  e2e::RunOptions o;
  o.cwd = cwd;
  return o;
}

// Every entry under the store, so a test can tell that nothing was written.
std::vector<std::string> Tree(const Store& s) {
  std::vector<std::string> all;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(s.root(), ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    all.push_back(it->path().string());
  std::sort(all.begin(), all.end());
  return all;
}

}  // namespace

TEST(Newcomer, HelpAndVersionPrintAndTouchNothing) {
  Store s(/*with_config=*/false);
  const auto before = Tree(s);
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"--help"}, {"-h"}, {"indexation", "--help"},
        {"classement", "texte", "q", "-h"}, {"-C", "/nonexistent", "--help"}}) {
    const auto r = s.engine(words);
    EXPECT_EQ(r.status, 0) << words[0];
    EXPECT_NE(r.out.find("Requêtes :"), std::string::npos);
    EXPECT_NE(r.out.find("classement texte|image|son"), std::string::npos);
    EXPECT_NE(r.out.find("Codes de sortie"), std::string::npos);
    EXPECT_EQ(r.err, "");
  }
  auto r = s.engine({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("engine ", 0), 0u);
  EXPECT_EQ(r.out.back(), '\n');
  EXPECT_EQ(Tree(s), before);  // no configuration file, no base
  // After "--", -h is a query path like any other.
  r = s.engine({"comparaison", "texte", "--", "-h"});
  EXPECT_EQ(r.out.find("Requêtes :"), std::string::npos);
}

TEST(Newcomer, InitMakesAStoreKeepsWhatExistsAndSaysWhatFailed) {
  Store s;
  const std::string root = s.path("mine");
  auto r = s.engine({"init", root}, In(""));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(root + "/EXTERN_FILES/configuration.config"), std::string::npos);
  EXPECT_NE(r.out.find("engine -C " + root + "/work indexation"), std::string::npos);
  EXPECT_EQ(s.read("mine/EXTERN_FILES/configuration.config"), e2e::kDefaultConfig);
  for (const char* dir : {"mine/EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes", "mine/INDEXATION/temp_txt",
                          "mine/EXTERN_FILES/database/base_son", "mine/work"})
    EXPECT_TRUE(s.exists(dir)) << dir;

  // A partial store: what is there stays, byte for byte.
  s.write("mine/EXTERN_FILES/configuration.config", "NbBit_NB: 2");
  s.write("mine/EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes/a.xml", "<t>maison</t>");
  s.remove("mine/EXTERN_FILES/database/base_image");
  r = s.engine({"init", root}, In(""));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("base_image/"), std::string::npos);
  EXPECT_EQ(r.out.find("configuration.config"), std::string::npos);
  EXPECT_EQ(s.read("mine/EXTERN_FILES/configuration.config"), "NbBit_NB: 2");
  EXPECT_EQ(s.read("mine/EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes/a.xml"), "<t>maison</t>");
  r = s.engine({"init", root}, In(""));
  EXPECT_NE(r.out.find("Rien à créer"), std::string::npos);

  // The store works as made.
  r = s.engine({"-C", root + "/work", "indexation"}, In(""));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(s.read("mine/EXTERN_FILES/database/base_texte/liste_base_texte.txt").find("a.xml"), std::string::npos);

  // An unwritable place: one line naming it, exit 1.
  s.write("file", "x");
  r = s.engine({"init", s.path("file/store")}, In(""));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(s.path("file/store")), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Not a directory"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
}

TEST(Newcomer, DashCRunsEachRequestAsIfStartedThere) {
  Store s;
  s.write(std::string(e2e::kTexts) + "maison.xml", "<t>maison maison maison jardin jardin jardin</t>");
  s.write("q.xml", "<q>maison maison maison jardin jardin jardin</q>");
  const std::string work = s.path("work");
  const e2e::RunOptions elsewhere = In("");
  auto here = s.engine({"indexation"});
  auto there = s.engine({"-C", work, "indexation"}, elsewhere);
  EXPECT_EQ(there.status, 0);
  EXPECT_EQ(there.out, here.out);
  // Query paths are read from the -C folder too.
  here = s.engine({"comparaison", "texte", "../q.xml"});
  there = s.engine({"-C", work, "comparaison", "texte", "../q.xml"}, elsewhere);
  EXPECT_EQ(there.out, here.out);
  EXPECT_EQ(there.status, here.status);
  here = s.engine({"recherche", "maison"});
  there = s.engine({"-C", work, "recherche", "maison"}, elsewhere);
  EXPECT_EQ(there.out, here.out);
  for (const char* medium : {"image", "son"}) {
    here = s.engine({"comparaison", medium, "../q.xml"});
    there = s.engine({"-C", work, "comparaison", medium, "../q.xml"}, elsewhere);
    EXPECT_EQ(there.out, here.out) << medium;
    EXPECT_EQ(there.status, here.status) << medium;
  }
  const auto missing = s.engine({"-C", s.path("nowhere"), "indexation"}, elsewhere);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("nowhere"), std::string::npos);
}

TEST(Newcomer, OutsideAStoreOneLineSaysWhereToRunAndNothingIsCreated) {
  Store s;
  s.write("elsewhere/deeper/.keep", "");
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"indexation"}, {"comparaison", "texte", "q.xml"}, {"recherche", "maison"},
        {"classement", "texte", "q.xml"}}) {
    const auto r = s.engine(words, In("elsewhere/deeper"));
    EXPECT_EQ(r.status, 1) << words[0];
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("aucun magasin de données trouvé"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("engine init"), std::string::npos);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_EQ(s.list("elsewhere/deeper"), std::vector<std::string>{".keep"});
  EXPECT_EQ(s.list("elsewhere"), std::vector<std::string>{"deeper"});
  EXPECT_FALSE(s.exists("EXTERN_FILES/../configuration.config"));
}

TEST(Newcomer, WordprobeHasHelpVersionAndARootOption) {
  Store s;
  const auto before = Tree(s);
  for (const char* word : {"--help", "-h", "--version"}) {
    const auto r = s.run(e2e::wordprobe_binary(), {word});
    EXPECT_EQ(r.status, 0) << word;
    EXPECT_NE(r.out.find("wordprobe"), std::string::npos) << word;
    EXPECT_EQ(r.err, "");
  }
  EXPECT_EQ(Tree(s), before);
  s.write(std::string(e2e::kTextBase) + "base_descripteur_texte.txt",
          "<debut> <id> 1 </id> <mots> milliards 4 ;   </mots> </fin>\n");
  const auto r = s.run(e2e::wordprobe_binary(), {"--root", s.root()}, In(""));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "1 \n************ \nl'id est : 0\n 4 \n");
}
