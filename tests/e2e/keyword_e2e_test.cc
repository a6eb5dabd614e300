// "engine recherche MOT": the look-up in the inverted index, the display
// order, the prompt read from standard input, and the start of the editor
// (a fake gedit on PATH that records how it was started).
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace fs = std::filesystem;
using e2e::Result;
using e2e::RunOptions;
using e2e::Store;

namespace {

const std::string kPrompt = "pour ouvrir le fichier taper: 1 || pour passer au suivant: 0 \n";
const std::string kNotFound = "mot non trouvé \n";
const std::string kCorpus = "../EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes/";

struct Doc {
  int id;
  int count;
};

// One index record as the text side writes it.
std::string record(const std::string& word, const std::vector<Doc>& docs) {
  std::string r = "<mot> " + word + " </mot> <key_nb> ";
  for (size_t k = 0; k < docs.size(); ++k) {
    if (k > 0) r += " ; ";
    r += std::to_string(docs[k].id) + " " + std::to_string(docs[k].count);
  }
  return r + "  </key_nb> \n";
}

std::string registration(int id, const std::string& name) {
  return "<id> " + std::to_string(id) + " </id> <filename> " + name + " </filename>\n";
}

// What one document shows before its answer is read.
std::string shown(const std::string& name) { return "\n" + name + "\n" + kPrompt; }

class Recherche : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(s_.path("bin"));
    fs::create_directories(s_.path("calls"));
    // The fake editor waits for the file "go" when it exists as "hold", then
    // records its working directory and arguments, one file per start.
    write_tool("gedit",
               "#!/bin/sh\n"
               "while [ -e '" + s_.path("hold") + "' ] && [ ! -e '" + s_.path("go") + "' ]; do\n"
               "  sleep 0.02\n"
               "done\n"
               "f='" + s_.path("calls") + "/'$$\n"
               "{ pwd; printf '%s\\n' \"$#\" \"$@\"; } > \"$f.tmp\" && mv \"$f.tmp\" \"$f\"\n");
  }

  void write_tool(const std::string& name, const std::string& script) {
    s_.write("bin/" + name, script);
    fs::permissions(s_.path("bin/" + name), fs::perms::owner_all);
  }

  void write_list(const std::vector<std::pair<int, std::string>>& docs) {
    std::string list;
    for (const auto& [id, name] : docs) list += registration(id, name);
    s_.write(std::string(e2e::kTextBase) + "liste_base_texte.txt", list);
  }

  void write_index(const std::string& index) {
    s_.write(std::string(e2e::kTextBase) + "table_index_texte.txt", index);
  }

  Result search(const std::string& word, const std::string& answers,
                const std::string& path_dirs = "") {
    RunOptions o;
    o.stdin_data = answers;
    o.timeout_seconds = 60;
    const char* path = std::getenv("PATH");
    o.env.push_back("PATH=" + (path_dirs.empty() ? s_.path("bin") : path_dirs) + ":" +
                    (path ? path : "/usr/bin:/bin"));
    return s_.engine({"recherche", word}, o);
  }

  // The recorded editor starts, each as (cwd, argc, args...), once `n` exist.
  std::vector<std::vector<std::string>> calls(size_t n) {
    std::vector<std::vector<std::string>> found;
    for (int i = 0; i < 1000; ++i) {
      const auto names = s_.list("calls");
      size_t done = 0;
      for (const auto& name : names) done += name.find(".tmp") == std::string::npos;
      if (done >= n) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (const auto& name : s_.list("calls")) {
      if (name.find(".tmp") != std::string::npos) continue;
      std::vector<std::string> lines;
      const std::string text = s_.read("calls/" + name);
      size_t start = 0;
      for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(text.substr(start, nl - start));
      found.push_back(lines);
    }
    return found;
  }

  Store s_;
};

TEST_F(Recherche, ShowsTheDocumentsFromTheHighestCountDown) {
  write_list({{1, "un.xml"}, {4, "quatre.xml"}, {9, "neuf.xml"},
              {10, "dix.xml"}, {11, "onze.xml"}, {12, "douze.xml"}});
  write_index(record("melange", {{4, 2}, {9, 5}, {1, 3}}) +
              record("egaux", {{10, 3}, {11, 3}, {12, 3}}) +
              record("deuxdeuxun", {{10, 2}, {11, 2}, {12, 1}}) +
              record("undeuxdeux", {{10, 1}, {11, 2}, {12, 2}}) +
              record("paire", {{10, 7}, {11, 7}}) + record("seul", {{4, 1}}));

  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"melange", {"neuf.xml", "un.xml", "quatre.xml"}},
      {"egaux", {"dix.xml", "douze.xml", "onze.xml"}},
      {"deuxdeuxun", {"dix.xml", "onze.xml", "douze.xml"}},
      {"undeuxdeux", {"onze.xml", "douze.xml", "dix.xml"}},
      {"paire", {"dix.xml", "onze.xml"}},
      {"seul", {"quatre.xml"}},
  };
  for (const auto& [word, names] : cases) {
    std::string expected;
    for (const auto& name : names) expected += shown(name);
    const Result r = search(word, "0\n0\n0\n");
    EXPECT_EQ(r.out, expected) << word;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
  }
  EXPECT_TRUE(calls(0).empty());
}

TEST_F(Recherche, WordsAreLookedUpExactlyAndCaseCounts) {
  write_list({{1, "a.xml"}});
  write_index(record("Maison", {{1, 4}}) + record("jardin", {{1, 3}}));
  for (const std::string word : {"maison", "MAISON", "jard", "4", "<mot>", "Maison jardin"}) {
    const Result r = search(word, "");
    EXPECT_EQ(r.out, kNotFound) << word;
    EXPECT_EQ(r.status, 0);
  }
  EXPECT_EQ(search("Maison", "0").out, shown("a.xml"));
}

TEST_F(Recherche, AWrongAnswerRepeatsThePromptAndTheEndOfInputPasses) {
  write_list({{1, "a.xml"}, {2, "b.xml"}, {3, "c.xml"}});
  write_index(record("mot", {{1, 3}, {2, 2}, {3, 1}}));

  Result r = search("mot", "x\n 0\n");  // then the input ends
  EXPECT_EQ(r.out, shown("a.xml") + kPrompt + shown("b.xml") + shown("c.xml"));
  EXPECT_EQ(r.status, 0);

  r = search("mot", "");
  EXPECT_EQ(r.out, shown("a.xml") + shown("b.xml") + shown("c.xml"));
  EXPECT_EQ(r.status, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_TRUE(calls(0).empty());
}

TEST_F(Recherche, AnswerOneStartsTheEditorInTheBackgroundOnTheCorpusPath) {
  write_list({{1, "a.xml"}, {2, "b.xml"}, {3, "c.xml"}});
  write_index(record("mot", {{1, 3}, {2, 2}, {3, 1}}));
  s_.write("hold", "");  // the editor does not end before the test says so

  // "10" answers 1 for a.xml and 0 for b.xml.
  const Result r = search("mot", "10\n1\n");
  EXPECT_EQ(r.out, shown("a.xml") + shown("b.xml") + shown("c.xml"));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(s_.list("calls").empty());  // the engine ended while the editors wait

  s_.write("go", "");
  const auto started = calls(2);
  ASSERT_EQ(started.size(), 2u);
  std::vector<std::string> paths;
  for (const auto& call : started) {
    ASSERT_EQ(call.size(), 3u);
    EXPECT_EQ(fs::canonical(call[0]), fs::canonical(s_.path("work")));
    EXPECT_EQ(call[1], "1");
    paths.push_back(call[2]);
  }
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths, (std::vector<std::string>{kCorpus + "a.xml", kCorpus + "c.xml"}));
}

TEST_F(Recherche, AHostileFileNameIsOpenedAsItIsWithoutRunningAnything) {
  const std::string name = "a;touch${IFS}INJECTE;$(touch${IFS}INJECTE2)`touch${IFS}INJECTE3`.xml";
  write_list({{1, name}});
  write_index(record("mot", {{1, 3}}));
  const Result r = search("mot", "1");
  EXPECT_EQ(r.out, shown(name));
  const auto started = calls(1);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], (std::vector<std::string>{started[0][0], "1", kCorpus + name}));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(s_.list("work"), std::vector<std::string>{});
  EXPECT_EQ(s_.list(""), (std::vector<std::string>{"EXTERN_FILES", "INDEXATION", "bin", "calls",
                                                   "work"}));
}

TEST_F(Recherche, AMissingEditorIsReportedAndTheSearchGoesOn) {
  fs::create_directories(s_.path("empty"));
  write_list({{1, "a.xml"}, {2, "b.xml"}});
  write_index(record("mot", {{1, 3}, {2, 2}}));
  // PATH without the fake editor (nor, on this machine, any gedit).
  RunOptions o;
  o.stdin_data = "1\n0\n";
  o.env.push_back("PATH=" + s_.path("empty"));
  const Result r = s_.engine({"recherche", "mot"}, o);
  EXPECT_EQ(r.out, shown("a.xml") + shown("b.xml"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err.rfind("engine: ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find(kCorpus + "a.xml"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST_F(Recherche, MissingFilesAndUnknownIdentifiers) {
  // No inverted index: the search cannot run.
  Result r = search("mot", "");
  EXPECT_EQ(r.out, "probleme in opening the file \n " + kNotFound);
  EXPECT_EQ(r.status, 1);

  // No text list: each document says so, without a prompt.
  write_index(record("mot", {{1, 3}, {2, 2}}));
  r = search("mot", "1\n1\n");
  EXPECT_EQ(r.out, "error in openning file \nerror in openning file \n");
  EXPECT_EQ(r.status, 0);

  // An identifier the list does not hold is named, and the next one shown.
  write_list({{2, "b.xml"}, {12, "douze.xml"}});
  r = search("mot", "0\n");
  EXPECT_EQ(r.out, "document d'id 1 absent de la liste des textes\n" + shown("b.xml"));
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(calls(0).empty());
}

TEST_F(Recherche, AFileNamedWithDigitsIsNotTakenForAnIdentifier) {
  write_list({{1, "2"}, {2, "b.xml"}});
  write_index(record("mot", {{2, 3}, {1, 1}}));
  EXPECT_EQ(search("mot", "").out, shown("b.xml") + shown("2"));
}

TEST_F(Recherche, HasNoLimitOnTheDocumentsOfOneWord) {
  const int n = 3000;
  std::vector<Doc> docs;
  std::vector<std::pair<int, std::string>> list;
  for (int id = 1; id <= n; ++id) {
    docs.push_back({id, id});
    list.push_back({id, "d" + std::to_string(id) + ".xml"});
  }
  write_list(list);
  write_index(record("mot", docs));
  const Result r = search("mot", "");
  std::string expected;
  for (int id = n; id >= 1; --id) expected += shown("d" + std::to_string(id) + ".xml");
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(r.status, 0);
}

}  // namespace
