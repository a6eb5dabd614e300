#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/e2e/corpus_gen.h"
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
  s.remove("EXTERN_FILES/configuration.config");
  ::chmod(s.path("EXTERN_FILES").c_str(), 0555);
  const auto r = s.engine({"comparaison", "texte", "../q.xml"});
  ::chmod(s.path("EXTERN_FILES").c_str(), 0755);
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into a read-only directory";
  EXPECT_EQ(r.out.find("Fichier de config"), std::string::npos);
  EXPECT_NE(r.err.find("configuration"), std::string::npos) << r.err;
  EXPECT_FALSE(s.exists(e2e::kConfig));
}

TEST(Launcher, ConfigurationKeysAnywhereReadTheSame) {
  // The same settings (not the defaults) in blocks, then on one line in
  // another order with the block marks left out.
  const std::string blocks =
      "<txt>\ntxt_nboccurrences: 2\n</txt>\n\n<sound>\nechantillons: 512\nnbintervalles: 12\n"
      "</sound>\n\n<image>\nNbBit_NB: 6\nNbBit_RGB: 2\n</image>";
  const std::string one_line =
      "NbBit_RGB: 2 nbintervalles: 12 txt_nboccurrences: 2 NbBit_NB: 6 echantillons: 512";
  Store a, b;
  for (Store* s : {&a, &b}) {
    e2e::generate_corpus(*s, {6, 120, 4, 8, 2, 1}, 11);
    s->write("q.xml", e2e::generated_text(5, 120));
  }
  a.write(e2e::kConfig, blocks);
  b.write(e2e::kConfig, one_line);
  const auto ra = a.engine({"indexation"});
  const auto rb = b.engine({"indexation"});
  EXPECT_EQ(ra.status, 0);
  EXPECT_EQ(ra.out, rb.out);
  EXPECT_EQ(ra.err, rb.err);
  for (const char* f : {"EXTERN_FILES/database/base_texte/base_descripteur_texte.txt",
                        "EXTERN_FILES/database/base_image/base_descripteur_image.txt",
                        "EXTERN_FILES/database/base_son/base_descripteur_son.txt"})
    EXPECT_EQ(a.read(f), b.read(f)) << f;
  EXPECT_EQ(a.read("EXTERN_FILES/database/base_son/base_descripteur_son.txt").substr(0, 7),
            "512 12\n");
  EXPECT_EQ(a.read("EXTERN_FILES/database/base_image/base_descripteur_image.txt").substr(0, 27),
            "NB_BIT_RGB: 2\nNB_BIT_NB: 6\n");
  EXPECT_EQ(a.engine({"comparaison", "texte", "../q.xml"}).out,
            b.engine({"comparaison", "texte", "../q.xml"}).out);
}
