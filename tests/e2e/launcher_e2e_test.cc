#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

using e2e::Store;

namespace {
const char kCreated[] =
    "Fichier de config inexistant. Création du fichier avec des valeurs par défaut.\n";
}

TEST(Launcher, FreshTreeCreatesTheDefaultConfigurationOnce) {
  Store s(/*with_config=*/false);
  auto r = s.engine({"comparaison", "texte", "../nothing.xml"});
  EXPECT_EQ(r.out.rfind(kCreated, 0), 0u) << r.out;
  EXPECT_EQ(s.read(e2e::kConfig), e2e::kDefaultConfig);
  EXPECT_EQ(s.read(e2e::kConfig).size(), 131u);

  r = s.engine({"comparaison", "texte", "../nothing.xml"});
  EXPECT_EQ(r.out.find("Fichier de config"), std::string::npos);
  EXPECT_EQ(s.list("EXTERN_FILES"),
            (std::vector<std::string>{"base_files", "configuration.config", "database"}));
}

TEST(Launcher, ExistingConfigurationIsNeverRewritten) {
  Store s;
  s.write(e2e::kConfig, "NbBit_NB: 5");
  const auto r = s.engine({"indexation"});
  EXPECT_EQ(r.out.find("Fichier de config"), std::string::npos);
  EXPECT_EQ(s.read(e2e::kConfig), "NbBit_NB: 5");
}

TEST(Launcher, WordsThatNameNoRequestGiveUsageAndNoEffect) {
  Store s(/*with_config=*/false);
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"Indexation"},
      {"comparaison"},
      {"comparaison", "texte"},
      {"comparaison", "Texte", "../q.xml"},
      {"comparaison", "sound", "../q.bin"},
      {"recherche"},
      {"index"},
  };
  for (const auto& words : bad) {
    const auto r = s.engine(words);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("usage: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
  }
  EXPECT_FALSE(s.exists(e2e::kConfig));
}

TEST(Launcher, IndexationWithExtraWordsIsIndexation) {
  Store a, b;
  for (Store* s : {&a, &b}) s->write(std::string(e2e::kTexts) + "a.xml", "<t>mot mot mot</t>");
  const auto plain = a.engine({"indexation"});
  const auto extra = b.engine({"indexation", "texte", "whatever"});
  EXPECT_EQ(plain.status, extra.status);
  EXPECT_EQ(plain.out, extra.out);
  EXPECT_EQ(plain.err, extra.err);
  for (const char* f : {"EXTERN_FILES/database/base_texte/liste_base_texte.txt",
                        "EXTERN_FILES/database/base_image/base_descripteur_image.txt",
                        "EXTERN_FILES/database/base_son/base_descripteur_son.txt"}) {
    EXPECT_EQ(a.exists(f), b.exists(f)) << f;
    if (a.exists(f)) {
      EXPECT_EQ(a.read(f), b.read(f)) << f;
    }
  }
}

TEST(Launcher, UncreatableConfigurationPrintsNoCreationMessage) {
  Store s(/*with_config=*/false);
  s.remove("EXTERN_FILES");
  const auto r = s.engine({"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(r.out.find("Fichier de config"), std::string::npos);
  EXPECT_NE(r.err.find("configuration"), std::string::npos) << r.err;
  EXPECT_FALSE(s.exists(e2e::kConfig));
}
