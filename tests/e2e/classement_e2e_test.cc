// "classement texte|image|son PATH [--max N] [--json]" end to end: usage,
// missing and damaged ranked files, standard input, the answer's shapes, and
// what each medium's ranker finds on a small corpus of every kind.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "common/paths.h"
#include "tests/e2e/child.h"
#include "tests/e2e/classement_corpus.h"
#include "tests/e2e/harness.h"

namespace fs = std::filesystem;
using e2e::Result;
using e2e::RunOptions;
using e2e::Store;
using json = nlohmann::ordered_json;
using namespace e2e::classement;

namespace {

const std::string kTextRanked = e2e::inStore(paths::kTextRanked);
const std::string kImageRanked = e2e::inStore(paths::kImageRanked);
const std::string kSoundRanked = e2e::inStore(paths::kSoundRanked);

// Every file, directory and link under the store, with its bytes.
std::map<std::string, std::string> snapshot(const Store& s) {
  std::map<std::string, std::string> all;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(s.root(), ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const std::string rel = it->path().string().substr(s.root().size() + 1);
    if (it->is_symlink()) {
      all[rel] = "-> " + fs::read_symlink(it->path()).string();
    } else if (it->is_directory()) {
      all[rel] = "<dir>";
    } else {
      all[rel] = s.read(rel);
    }
  }
  return all;
}

size_t lineCount(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

// Exit 1 with one line of ours on standard error and nothing on standard
// output.
void expectRefused(const Result& r, const std::string& what) {
  EXPECT_EQ(r.status, 1) << what << "\n" << r.out << r.err;
  EXPECT_EQ(r.out, "") << what;
  EXPECT_EQ(lineCount(r.err), 1u) << what << ": " << r.err;
  EXPECT_EQ(r.err.rfind("engine: ", 0), 0u) << what << ": " << r.err;
}

// The answer, parsed; ADD_FAILURE unless standard output is one JSON object
// on one line.
json parsed(const Result& r) {
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(lineCount(r.out), 1u) << r.out;
  try {
    return json::parse(r.out);
  } catch (const json::exception& e) {
    ADD_FAILURE() << e.what() << "\n" << r.out;
    return json::object();
  }
}

// The JSON answer has the documented members and types; ranks run 1..n; a
// match names results[0]; offsets are numbers for sounds only.
void expectShape(const json& j, const std::string& medium, const std::string& query) {
  ASSERT_TRUE(j.is_object());
  std::vector<std::string> keys;
  for (const auto& [key, value] : j.items()) keys.push_back(key);
  EXPECT_EQ(keys, (std::vector<std::string>{"medium", "query", "verdict", "results"}));
  EXPECT_EQ(j["medium"], medium);
  EXPECT_EQ(j["query"], query);
  const json& v = j["verdict"];
  ASSERT_TRUE(v.is_object());
  keys.clear();
  for (const auto& [key, value] : v.items()) keys.push_back(key);
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (std::vector<std::string>{"confidence", "id", "match", "name", "offset_s"}));
  ASSERT_TRUE(v["match"].is_boolean());
  ASSERT_TRUE(v["confidence"].is_number());
  EXPECT_GE(v["confidence"].get<double>(), 0.0);
  EXPECT_LE(v["confidence"].get<double>(), 1.0);
  const json& results = j["results"];
  ASSERT_TRUE(results.is_array());
  for (size_t i = 0; i < results.size(); ++i) {
    const json& r = results[i];
    keys.clear();
    for (const auto& [key, value] : r.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"rank", "id", "name", "score", "offset_s"}));
    EXPECT_TRUE(r["rank"].is_number_integer());
    EXPECT_EQ(r["rank"], i + 1);
    EXPECT_TRUE(r["id"].is_number_integer());
    EXPECT_TRUE(r["name"].is_string());
    EXPECT_TRUE(r["score"].is_number());
    if (medium == "son") {
      EXPECT_TRUE(r["offset_s"].is_number()) << r;
    } else {
      EXPECT_TRUE(r["offset_s"].is_null()) << r;
    }
  }
  if (v["match"]) {
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(v["id"], results[0]["id"]);
    EXPECT_EQ(v["name"], results[0]["name"]);
    EXPECT_EQ(v["offset_s"], results[0]["offset_s"]);
  } else {
    EXPECT_TRUE(v["id"].is_null());
    EXPECT_TRUE(v["name"].is_null());
    EXPECT_TRUE(v["offset_s"].is_null());
  }
}

// Standard output without its first line ("Requête : PATH").
std::string afterQueryLine(const std::string& out) {
  const size_t end = out.find('\n');
  return end == std::string::npos ? "" : out.substr(end + 1);
}

// A store holding the whole corpus, indexed, with the queries under "q/".
class RankedStore : public testing::Test {
 protected:
  void SetUp() override {
    for (const Text& t : texts())
      s.write(std::string(e2e::kTexts) + (t.latin1 ? latin1(t.name) : t.name),
              t.latin1 ? latin1(t.body) : t.body);
    for (const Image& i : greyImages()) s.write(std::string(e2e::kNb) + i.name, imageFile(i.planes));
    for (const Image& i : colourImages()) s.write(std::string(e2e::kRgb) + i.name, imageFile(i.planes));
    for (uint32_t k = 0; k < 4; ++k) s.write(std::string(e2e::kSounds) + soundName(k), soundFile(melody(k + 1, 4)));
    // Sounds too short for a single spectrum frame, or for a single sample.
    for (const size_t bytes : {0, 5, 8, 96}) s.write(std::string(e2e::kSounds) + "court" + std::to_string(bytes) + ".bin", std::string(bytes, '\x11'));
    const Result r = s.engine({"indexation"});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.err, "");

    textQuery = excerptOf(texts()[0], excerpts()[0]);
    s.write("q/texte.txt", textQuery);
    s.write("q/gris.txt", imageFile(patched(greyImages()[0].planes, 2, 30, 4, {255})));
    s.write("q/couleur.txt", imageFile(patched(colourImages()[2].planes, 30, 3, 4, {40, 70, 200})));
    s.write("q/son.bin", soundFile(cut(melody(2, 4), 1.2345, 1.5)));
  }

  static std::string soundName(uint32_t k) { return "melodie" + std::to_string(k + 1) + ".bin"; }

  Result rank(const std::vector<std::string>& words, const RunOptions& o = {}) const {
    std::vector<std::string> all = {"classement"};
    all.insert(all.end(), words.begin(), words.end());
    return s.engine(all, o);
  }

  // The queries of each medium that find their source, with that source.
  struct Query {
    std::string medium, path, source;
  };
  std::vector<Query> queries() const {
    return {{"texte", "../q/texte.txt", "phare.xml"},
            {"image", "../q/gris.txt", greyImages()[0].name},
            {"image", "../q/couleur.txt", colourImages()[2].name},
            {"son", "../q/son.bin", soundName(1)}};
  }

  Store s;
  std::string textQuery;
};

}  // namespace

// ---- usage, ranked files, the store ---------------------------------------

using ClassementUsage = RankedStore;

TEST_F(ClassementUsage, BadWordsAreExitTwoWithOneReasonAndTheUsageLine) {
  s.remove(e2e::kConfig);
  const auto before = snapshot(s);
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"texte"},
      {"Texte", "../q/texte.txt"},
      {"video", "../q/texte.txt"},
      {"texte", "../q/texte.txt", "../q/gris.txt"},
      {"texte", "../q/texte.txt", "--max"},
      {"texte", "../q/texte.txt", "--max", "-1"},
      {"texte", "../q/texte.txt", "--max", "2x"},
      {"texte", "../q/texte.txt", "--max=99999999999999999999999"},
      {"texte", "../q/texte.txt", "--jsn"},
      {"--json", "--max", "3"},
  };
  for (const auto& words : bad) {
    std::string what = "classement";
    for (const auto& w : words) what += " " + w;
    const Result r = rank(words);
    EXPECT_EQ(r.status, 2) << what;
    EXPECT_EQ(r.out, "") << what;
    ASSERT_EQ(lineCount(r.err), 2u) << what << ": " << r.err;
    EXPECT_EQ(r.err.rfind("engine: ", 0), 0u) << what << ": " << r.err;
    EXPECT_EQ(r.err.find("usage: engine"), r.err.find('\n') + 1) << what << ": " << r.err;
  }
  // The reason names what was wrong.
  EXPECT_NE(rank({"texte", "../q/texte.txt", "--jsn"}).err.find("--jsn"), std::string::npos);
  EXPECT_NE(rank({"Texte", "../q/texte.txt"}).err.find("Texte"), std::string::npos);
  EXPECT_EQ(snapshot(s), before);
}

using ClassementFiles = RankedStore;

TEST_F(ClassementFiles, MissingRankedFilesAskForAnIndexation) {
  Store fresh;
  fresh.write("q/texte.txt", textQuery);
  fresh.write("q/gris.txt", s.read("q/gris.txt"));
  fresh.write("q/son.bin", s.read("q/son.bin"));
  for (const auto& [medium, path] : std::vector<std::pair<std::string, std::string>>{
           {"texte", "../q/texte.txt"}, {"image", "../q/gris.txt"}, {"son", "../q/son.bin"}}) {
    for (const bool as_json : {false, true}) {
      const Result r = as_json ? fresh.engine({"classement", medium, path, "--json"})
                               : fresh.engine({"classement", medium, path});
      expectRefused(r, medium);
      EXPECT_NE(r.err.find("engine indexation"), std::string::npos) << r.err;
    }
  }
  // A query that cannot be read is named as such, before any ranked file.
  const Result r = fresh.engine({"classement", "texte", "../q/absent.txt"});
  expectRefused(r, "absent");
  EXPECT_NE(r.err.find("../q/absent.txt"), std::string::npos) << r.err;
}

TEST_F(ClassementFiles, DamagedRankedFilesAreRefusedWithOneLine) {
  for (const auto& [medium, file, path] : std::vector<std::tuple<std::string, std::string, std::string>>{
           {"texte", kTextRanked, "../q/texte.txt"},
           {"image", kImageRanked, "../q/gris.txt"},
           {"son", kSoundRanked, "../q/son.bin"}}) {
    const std::string whole = s.read(file);
    ASSERT_GT(whole.size(), 64u) << file;
    auto damaged = [&](const std::string& bytes, const std::string& how) {
      s.write(file, bytes);
      for (const bool as_json : {false, true}) {
        const Result r = as_json ? rank({medium, path, "--json"}) : rank({medium, path});
        expectRefused(r, file + " " + how);
        EXPECT_NE(r.err.find("engine indexation"), std::string::npos) << how << ": " << r.err;
      }
    };
    // Cut anywhere: in the header, past it, one byte short.
    for (const size_t size : {size_t{0}, size_t{4}, size_t{12}, size_t{40}, whole.size() / 2, whole.size() - 1})
      damaged(whole.substr(0, size), "cut at " + std::to_string(size));
    // Another format, or another version of this one.
    std::string other = whole;
    other[0] ^= 0x20;
    damaged(other, "wrong magic");
    damaged(std::string("P5\n1 1\n255\n") + whole.substr(11), "another file");
    other = whole;
    other[8] = static_cast<char>(other[8] + 1);
    damaged(other, "next version");

    // Bytes flipped anywhere: refused with one line, or still answered in
    // full; never a crash.
    std::mt19937 rng(7);
    for (int trial = 0; trial < 12; ++trial) {
      other = whole;
      for (int k = 0; k < 4; ++k) other[rng() % other.size()] ^= static_cast<char>(1 + rng() % 255);
      s.write(file, other);
      const Result r = rank({medium, path, "--json"});
      const std::string what = file + " flipped, trial " + std::to_string(trial);
      if (r.status == 1) {
        expectRefused(r, what);
        EXPECT_NE(r.err.find("engine indexation"), std::string::npos) << what << ": " << r.err;
      } else {
        expectShape(parsed(r), medium, path);
      }
    }
    s.write(file, whole);
    EXPECT_EQ(rank({medium, path}).status, 0);
  }
}

TEST_F(ClassementFiles, NeverWritesTheStoreNorCreatesTheConfiguration) {
  s.remove(e2e::kConfig);
  const auto before = snapshot(s);
  for (const Query& q : queries()) {
    EXPECT_EQ(rank({q.medium, q.path}).status, 0);
    EXPECT_EQ(rank({q.medium, q.path, "--json", "--max", "0"}).status, 0);
    RunOptions piped;
    piped.stdin_data = s.read(q.path.substr(3));
    EXPECT_EQ(rank({q.medium, "-"}, piped).status, 0);
  }
  rank({"texte", "../q/gris.txt"});  // refused: not a text
  rank({"image", "../q/texte.txt"});  // refused: not an image
  EXPECT_FALSE(s.exists(e2e::kConfig));
  EXPECT_EQ(snapshot(s), before);
}

// ---- standard input and the store lock ------------------------------------

using ClassementInput = RankedStore;

TEST_F(ClassementInput, StandardInputGivesTheFileAnswer) {
  for (const Query& q : queries()) {
    RunOptions piped;
    piped.stdin_data = s.read(q.path.substr(3));
    const Result file = rank({q.medium, q.path});
    const Result in = rank({q.medium, "-"}, piped);
    EXPECT_EQ(in.status, 0) << in.err;
    EXPECT_EQ(in.err, "");
    EXPECT_EQ(in.out.rfind("Requête : -\n", 0), 0u) << in.out;
    EXPECT_EQ(afterQueryLine(in.out), afterQueryLine(file.out)) << q.path;

    json from_file = parsed(rank({q.medium, q.path, "--json"}));
    json from_in = parsed(rank({"--json", q.medium, "-"}, piped));
    EXPECT_EQ(from_in["query"], "-");
    from_file["query"] = "-";
    EXPECT_EQ(from_in, from_file) << q.path;
  }
  // "--" ends the options: a query file named "--json".
  s.write("work/--json", textQuery);
  const Result dashed = rank({"texte", "--", "--json"});
  EXPECT_EQ(dashed.status, 0) << dashed.err;
  EXPECT_EQ(dashed.out.rfind("Requête : --json\n", 0), 0u) << dashed.out;

  // Nothing on standard input: no text; more than 64 MB: refused unread.
  expectRefused(rank({"texte", "-"}), "empty standard input");
  RunOptions huge;
  huge.stdin_data.assign((64u << 20) + 1, 'a');
  const Result r = rank({"texte", "-"}, huge);
  expectRefused(r, "64 MB and one byte");
}

// A query read from a pipe is read before the store is locked: a person
// typing it holds up no indexation.
TEST_F(ClassementInput, AnIndexationCompletesWhileAQueryIsReadFromAPipe) {
  int pipe[2];
  ASSERT_EQ(::pipe2(pipe, O_CLOEXEC), 0);
  e2e::ChildOptions o;
  o.cwd = s.path("work");
  o.stdin_fd = pipe[0];
  e2e::Child ranking({e2e::engine_binary(), "classement", "texte", "-", "--json"}, o);
  ::close(pipe[0]);
  // Half of the query now; the rest after the indexation.
  const size_t half = textQuery.size() / 2;
  ASSERT_EQ(::write(pipe[1], textQuery.data(), half), static_cast<ssize_t>(half));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));

  s.write(std::string(e2e::kTexts) + "zzz.xml", "<p>Le gardien du village monte chaque soir.</p>");
  RunOptions timed;
  timed.timeout_seconds = 30;
  const Result indexed = s.engine({"indexation"}, timed);
  EXPECT_EQ(indexed.status, 0) << indexed.err;
  EXPECT_EQ(ranking.out(), "");  // still waiting for its query

  const std::string rest = textQuery.substr(half);
  ASSERT_EQ(::write(pipe[1], rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
  ::close(pipe[1]);
  const Result ranked = ranking.wait(30);
  EXPECT_EQ(ranked.err, "");
  const json j = parsed(ranked);
  expectShape(j, "texte", "-");
  EXPECT_EQ(j["verdict"]["name"], "phare.xml");
  // Ranked on the new index, which holds the new text.
  bool found = false;
  for (const json& r : j["results"]) found |= r["name"] == "zzz.xml";
  EXPECT_TRUE(found) << j.dump();
}

// ---- the answer -----------------------------------------------------------

using ClassementOutput = RankedStore;

TEST_F(ClassementOutput, MaxCutsTheResultsNotTheVerdict) {
  // Twelve grey images: every one is a candidate of a grey query.
  const json all = parsed(rank({"image", "../q/gris.txt", "--json", "--max", "0"}));
  ASSERT_EQ(all["results"].size(), greyImages().size());
  EXPECT_EQ(parsed(rank({"image", "../q/gris.txt", "--json"}))["results"].size(), 10u);
  for (const size_t max : {1u, 3u, 12u, 50u}) {
    for (const std::string& form : {std::string("--max=") + std::to_string(max), std::string("--max")}) {
      std::vector<std::string> words = {"image", form, "../q/gris.txt", "--json"};
      if (form == "--max") words.insert(words.begin() + 2, std::to_string(max));
      const json cut = parsed(rank(words));
      EXPECT_EQ(cut["verdict"], all["verdict"]) << max;
      ASSERT_EQ(cut["results"].size(), std::min<size_t>(max, all["results"].size())) << max;
      for (size_t i = 0; i < cut["results"].size(); ++i) EXPECT_EQ(cut["results"][i], all["results"][i]);
    }
  }
  // The same cut for people: the query line, the verdict, then the lines.
  const Result human = rank({"image", "../q/gris.txt", "--max", "3"});
  EXPECT_EQ(lineCount(human.out), 2u + 3u) << human.out;
  EXPECT_EQ(human.out.rfind("Requête : ../q/gris.txt\nVerdict : ", 0), 0u) << human.out;
  EXPECT_NE(human.out.find("\n3. "), std::string::npos) << human.out;
}

TEST_F(ClassementOutput, JsonHasTheDocumentedShapeForEachMedium) {
  for (const Query& q : queries()) {
    const json j = parsed(rank({q.medium, q.path, "--json", "--max", "0"}));
    expectShape(j, q.medium, q.path);
    EXPECT_TRUE(j["verdict"]["match"]) << q.path << ": " << j.dump();
    EXPECT_EQ(j["verdict"]["name"], q.source) << j.dump();
  }
  // A name that is not UTF-8 is read as ISO-8859-1.
  s.write("q/cafe.txt", excerptOf(texts()[2], excerpts()[2]));
  const json j = parsed(rank({"texte", "../q/cafe.txt", "--json"}));
  expectShape(j, "texte", "../q/cafe.txt");
  EXPECT_EQ(j["verdict"]["name"], "café.xml") << j.dump();
  // A query path that is not UTF-8 either.
  s.write("q/requ\xeate.txt", textQuery);
  const json k = parsed(rank({"texte", "../q/requ\xeate.txt", "--json"}));
  EXPECT_EQ(k["query"], "../q/requête.txt");
  // No match: nulls, and no results at all for a silent sound.
  s.write("q/silence.bin", soundFile(std::vector<double>(kRate, 0.0)));
  const json none = parsed(rank({"son", "../q/silence.bin", "--json"}));
  expectShape(none, "son", "../q/silence.bin");
  EXPECT_FALSE(none["verdict"]["match"]);
  EXPECT_TRUE(none["results"].empty());
}

// ---- texts ----------------------------------------------------------------

using ClassementText = RankedStore;

TEST_F(ClassementText, ExcerptsInEitherEncodingNameTheirSource) {
  const std::vector<Text> all = texts();
  const std::vector<Excerpt> cuts = excerpts();
  for (size_t i = 0; i < all.size(); ++i) {
    const std::string utf8 = excerptOf(all[i], cuts[i]);
    for (const bool as_latin1 : {false, true}) {
      s.write("q/extrait.txt", as_latin1 ? latin1(utf8) : utf8);
      const Result r = rank({"texte", "../q/extrait.txt"});
      const std::string what = all[i].name + (as_latin1 ? " (ISO-8859-1 query)" : " (UTF-8 query)");
      EXPECT_EQ(r.status, 0) << what << ": " << r.err;
      EXPECT_EQ(r.err, "") << what;
      // Names are shown as stored.
      const std::string stored = all[i].latin1 ? latin1(all[i].name) : all[i].name;
      EXPECT_NE(r.out.find("Verdict : source : " + stored + " (id "), std::string::npos) << what << "\n" << r.out;
      EXPECT_NE(r.out.find("\n1. " + stored + " (id "), std::string::npos) << what << "\n" << r.out;
    }
  }
}

TEST_F(ClassementText, UnrelatedTextIsNoMatchAndNonTextIsRefused) {
  s.write("q/autre.txt", kUnrelatedText);
  const Result r = rank({"texte", "../q/autre.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("\nVerdict : aucune correspondance sûre"), std::string::npos) << r.out;
  EXPECT_FALSE(parsed(rank({"texte", "../q/autre.txt", "--json"}))["verdict"]["match"]);

  // Too few words to judge: ranked, never named the source.
  s.write("q/court.txt", "le vieux phare");
  EXPECT_FALSE(parsed(rank({"texte", "../q/court.txt", "--json"}))["verdict"]["match"]);

  // No word at all, binary bytes, an image or a sound: not a text.
  s.write("q/chiffres.txt", "<p>1234 5678, 90 % !? -- 3.14</p>\n");
  s.write("q/binaire.txt", std::string("PK\x03\x04\0\0maison jardin\0", 20));
  for (const char* path : {"../q/chiffres.txt", "../q/binaire.txt", "../q/gris.txt", "../q/son.bin"}) {
    const Result refused = rank({"texte", path});
    expectRefused(refused, path);
    EXPECT_NE(refused.err.find(path), std::string::npos) << refused.err;
  }
}

// ---- images ---------------------------------------------------------------

using ClassementImage = RankedStore;

TEST_F(ClassementImage, CopiesWithASmallEditFindTheirSource) {
  for (const auto& [path, source, kind] : std::vector<std::tuple<std::string, std::string, size_t>>{
           {"../q/gris.txt", greyImages()[0].name, greyImages().size()},
           {"../q/couleur.txt", colourImages()[2].name, colourImages().size()}}) {
    const Result r = rank({"image", path, "--max", "0"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("\nVerdict : "), std::string::npos);
    EXPECT_NE(r.out.find(" : " + source + " (id "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n1. " + source + " (id "), std::string::npos) << r.out;
    // Only images of the query's kind.
    EXPECT_EQ(lineCount(r.out), 2 + kind) << r.out;
  }
  // The very image finds itself, among images of its kind only.
  const json j = parsed(rank({"image", "../" + std::string(e2e::kRgb) + "bandes.txt", "--json", "--max", "0"}));
  EXPECT_EQ(j["verdict"]["name"], "bandes.txt");
  EXPECT_EQ(j["results"].size(), colourImages().size());
}

TEST_F(ClassementImage, NoImageOfTheQueryKindAndNonImages) {
  Store colour_only;
  for (const Image& i : colourImages()) colour_only.write(std::string(e2e::kRgb) + i.name, imageFile(i.planes));
  ASSERT_EQ(colour_only.engine({"indexation"}).status, 0);
  colour_only.write("q/gris.txt", s.read("q/gris.txt"));
  const Result r = colour_only.engine({"classement", "image", "../q/gris.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "Requête : ../q/gris.txt\nVerdict : aucune correspondance sûre (aucun candidat)\n");
  const json j = parsed(colour_only.engine({"classement", "image", "../q/gris.txt", "--json"}));
  expectShape(j, "image", "../q/gris.txt");
  EXPECT_FALSE(j["verdict"]["match"]);
  EXPECT_TRUE(j["results"].empty());

  // A text, a sound, a header of another kind, values missing or out of range.
  s.write("q/deux_plans.txt", "2 2 2\n1 2 3 4\n5 6 7 8\n");
  s.write("q/court.txt", "3 3 1\n1 2 3\n");
  s.write("q/trop.txt", "1 2 1\n7 256\n");
  for (const char* path :
       {"../q/texte.txt", "../q/son.bin", "../q/deux_plans.txt", "../q/court.txt", "../q/trop.txt"}) {
    const Result refused = rank({"image", path});
    expectRefused(refused, path);
    EXPECT_NE(refused.err.find(path), std::string::npos) << refused.err;
  }
}

// ---- sounds ---------------------------------------------------------------

using ClassementSound = RankedStore;

TEST_F(ClassementSound, AnExcerptIsFoundAtItsOffset) {
  const std::vector<std::pair<uint32_t, double>> cuts = {{1, 1.2345}, {0, 0.0}, {3, 2.4}, {2, 2.5}};
  for (const auto& [k, from] : cuts) {
    s.write("q/extrait.bin", soundFile(cut(melody(k + 1, 4), from, 1.5)));
    const json j = parsed(rank({"son", "../q/extrait.bin", "--json"}));
    expectShape(j, "son", "../q/extrait.bin");
    ASSERT_TRUE(j["verdict"]["match"]) << soundName(k) << " at " << from << ": " << j.dump();
    EXPECT_EQ(j["verdict"]["name"], soundName(k));
    EXPECT_NEAR(j["verdict"]["offset_s"].get<double>(), from, 0.128) << soundName(k);
  }
  const Result human = rank({"son", "../q/son.bin"});
  EXPECT_NE(human.out.find("Verdict : source : " + soundName(1) + " (id "), std::string::npos) << human.out;
}

TEST_F(ClassementSound, LongSilentAndTinyQueriesAndTinySounds) {
  // Longer than every sound: an unrelated melody has no match; a whole
  // sound followed by two seconds of another is found where it starts.
  s.write("q/long.bin", soundFile(melody(9, 6)));
  json j = parsed(rank({"son", "../q/long.bin", "--json"}));
  expectShape(j, "son", "../q/long.bin");
  EXPECT_FALSE(j["verdict"]["match"]) << j.dump();
  std::vector<double> longer = melody(2, 4);
  const std::vector<double> tail = melody(9, 2);
  longer.insert(longer.end(), tail.begin(), tail.end());
  s.write("q/long.bin", soundFile(longer));
  j = parsed(rank({"son", "../q/long.bin", "--json"}));
  expectShape(j, "son", "../q/long.bin");
  EXPECT_EQ(j["verdict"]["name"], soundName(1)) << j.dump();
  EXPECT_NEAR(j["verdict"]["offset_s"].get<double>(), 0.0, 0.128) << j.dump();

  // Silence has no landmark.
  s.write("q/silence.bin", soundFile(std::vector<double>(2 * kRate, 0.0)));
  Result r = rank({"son", "../q/silence.bin"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Requête : ../q/silence.bin\nVerdict : aucune correspondance sûre (aucun candidat)\n");

  // Under one sample: not a sound. A few samples: a sound with no match.
  for (const size_t bytes : {0, 1, 7}) {
    s.write("q/minuscule.bin", std::string(bytes, '\x22'));
    r = rank({"son", "../q/minuscule.bin"});
    expectRefused(r, std::to_string(bytes) + " bytes");
    EXPECT_NE(r.err.find("../q/minuscule.bin"), std::string::npos) << r.err;
  }
  for (const size_t bytes : {8, 9, 64, 100}) {
    s.write("q/minuscule.bin", soundFile(cut(melody(2, 1), 0.3, 1)).substr(0, bytes));
    j = parsed(rank({"son", "../q/minuscule.bin", "--json"}));
    expectShape(j, "son", "../q/minuscule.bin");
    EXPECT_FALSE(j["verdict"]["match"]) << bytes;
    EXPECT_TRUE(j["results"].empty()) << bytes;
  }

  // The tiny sounds of the corpus were indexed and are never found.
  const std::string list = s.read(e2e::inStore(paths::kSoundList));
  for (const char* name : {"court0.bin", "court5.bin", "court8.bin", "court96.bin"})
    EXPECT_NE(list.find(name), std::string::npos) << name;
  s.write("q/court96.bin", std::string(96, '\x11'));
  j = parsed(rank({"son", "../q/court96.bin", "--json"}));
  EXPECT_FALSE(j["verdict"]["match"]);
}
