// The text side and the keyword search facing a hostile or busy store: the
// permission bits of the scratch copies.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/harness.h"
#include "tests/e2e/text_fixtures.h"

using e2e::Result;
using e2e::Store;

namespace {

const char kBase[] = "EXTERN_FILES/database/base_texte/base_descripteur_texte.txt";
const char kClosing[] = "tous les documents xml ont bien été indexés !\n";

using e2e::doc;
using e2e::repeat;
using e2e::textRecord;

void addText(const Store& s, const std::string& name, const std::string& content) {
  s.write(std::string(e2e::kTexts) + name, content);
}

unsigned modeOf(const Store& s, const std::string& rel) {
  struct stat st;
  if (::lstat(s.path(rel).c_str(), &st) != 0) return 07777;
  return st.st_mode & 07777;
}

void setMode(const Store& s, const std::string& rel, unsigned mode) {
  ASSERT_EQ(::chmod(s.path(rel).c_str(), mode), 0) << rel;
}

// ---- permission bits of the scratch copies ----

// A document readable by its owner alone must not be copied where anyone may
// read it: copies take the source's bits (read and write only), and an older
// copy with wider bits is narrowed.
TEST(ScratchModes, CopiesTakeTheSourcesBitsNeverWider) {
  Store s;
  addText(s, "prive.xml", doc(repeat("secret", 3)));
  addText(s, "groupe.xml", doc(repeat("partage", 3)));
  addText(s, "outil.xml", doc(repeat("outil", 3)));
  setMode(s, std::string(e2e::kTexts) + "groupe.xml", 0640);
  setMode(s, std::string(e2e::kTexts) + "outil.xml", 0755);
  Result r = s.engine({"indexation"});
  ASSERT_EQ(r.status, 0) << r.err;
  // First as readable as usual, then narrowed to the owner alone.
  EXPECT_EQ(modeOf(s, "INDEXATION/temp_txt/cpy/prive.xml"), 0644u);
  setMode(s, std::string(e2e::kTexts) + "prive.xml", 0600);
  r = s.engine({"indexation"});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* dir : {"INDEXATION/temp_txt/cpy/", "INDEXATION/temp_txt/pure_txts/"}) {
    EXPECT_EQ(modeOf(s, std::string(dir) + "prive.xml"), 0600u) << dir;
    EXPECT_EQ(modeOf(s, std::string(dir) + "groupe.xml"), 0640u) << dir;
    EXPECT_EQ(modeOf(s, std::string(dir) + "outil.xml"), 0644u) << dir;  // never executable
  }
  EXPECT_EQ(s.read("INDEXATION/temp_txt/cpy/prive.xml"), doc(repeat("secret", 3)));

  // The query's copies too.
  s.write("q.xml", doc(repeat("secret", 3)));
  setMode(s, "q.xml", 0600);
  r = s.engine({"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(modeOf(s, "INDEXATION/temp_txt/cpy/q.xml"), 0600u);
  EXPECT_EQ(modeOf(s, "INDEXATION/temp_txt/pure_txts/q.xml"), 0600u);
}

}  // namespace
