// Hostile names and inputs, end to end: corpus names and query paths that a
// shell would run or expand, binary junk, tokens of megabytes, image headers
// announcing 2^31 pixels, sounds of a few bytes, bases cut in the middle of a
// record and configuration files holding a lone key. Whatever it reads, a
// request runs nothing, ends with 0, 1 or 2 (never a signal, never past the
// harness timeout), refuses each item with exactly one stderr line (control
// bytes escaped), and keeps its standard output well-formed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "common/output.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/text_fixtures.h"

namespace fs = std::filesystem;
using e2e::Result;
using e2e::RunOptions;
using e2e::Store;

namespace {

const std::string kTexts = e2e::kTexts;
const std::string kRgb = e2e::kRgb;
const std::string kNb = e2e::kNb;
const std::string kSounds = e2e::kSounds;
const std::string kTextList = std::string(e2e::kTextBase) + "liste_base_texte.txt";
const std::string kTextBase = std::string(e2e::kTextBase) + "base_descripteur_texte.txt";
const std::string kTextIndex = std::string(e2e::kTextBase) + "table_index_texte.txt";
const std::string kImageList = std::string(e2e::kImageBase) + "liste_base_image.txt";
const std::string kImageBase = std::string(e2e::kImageBase) + "base_descripteur_image.txt";
const std::string kSoundList = std::string(e2e::kSoundBase) + "Liste_Base_Son.txt";
const std::string kSoundBase = std::string(e2e::kSoundBase) + "base_descripteur_son.txt";

const char kTextClosing[] = "tous les documents xml ont bien été indexés !\n";
const char kImageClosing[] = "\nIndexation image effectuee avec succès !\n\n";
const char kPrompt[] = "pour ouvrir le fichier taper: 1 || pour passer au suivant: 0 \n";
const char kOpener[] = "\n\nErreur Fatale a l'ouverture du fichier \n";
const char kShort[] = "\nErreur fatale : Pas assez de valeurs dans l'image";
const char kBad[] = "\nErreur fatale : Valeur incorrecte dans l'image";

// Every request of these tests must end well within this.
constexpr int kSeconds = 60;

// ---- hostile names ---------------------------------------------------------

// Files that a name run by a shell would create in the working directory.
const std::set<std::string> kMarkers = {"PWNED1", "PWNED2", "PWNED3", "PWNED4", "PWNED5",
                                        "PWNED6", "PWNED7", "PWNED8", "PWNED9"};

// Name stems without white space: each is a valid corpus name once its
// medium's suffix is added, and must be stored byte for byte.
std::vector<std::string> storedStems() {
  return {
      "a;touch${IFS}PWNED1;b",
      "$(touch${IFS}PWNED2)",
      "`touch${IFS}PWNED3`",
      "x|touch${IFS}PWNED4|",
      "x&&touch${IFS}PWNED5&&",
      ">PWNED6<",
      "'q'\"d\"",
      "*",
      "?[a-z]{b,c}",
      "-rf",
      "--help",
      "~",
      "%s%n%x",
      "back\\slash",
      std::string("ctl\x01\x1b[31m\x7f"),
      "\xff\xfe\xe9",  // not UTF-8
      "été-€",
      std::string(251, 'L'),  // 255 bytes with its 4-byte suffix
  };
}

// Stems holding white space: refused with one stderr line each.
std::vector<std::string> refusedStems() {
  return {"a;touch PWNED7;", "$(touch PWNED8)", "new\nline", "`touch PWNED9`\n",
          "tab\there",       "cr\rvt\v",        " "};
}

// Names under `dir` (recursively) that are marker files.
std::vector<std::string> markersUnder(const fs::path& dir, bool recursive) {
  std::vector<std::string> found;
  std::error_code ec;
  auto check = [&](const fs::directory_entry& e) {
    if (kMarkers.count(e.path().filename().string()) != 0) found.push_back(e.path().string());
  };
  if (recursive) {
    for (auto it = fs::recursive_directory_iterator(dir, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
      check(*it);
  } else {
    for (const auto& e : fs::directory_iterator(dir, ec)) check(e);
  }
  return found;
}

// Nothing was run: no marker anywhere in the store nor where the tests run,
// and the engine's working directory is still empty.
void expectNothingRan(const Store& s) {
  EXPECT_EQ(markersUnder(s.root(), true), std::vector<std::string>{});
  EXPECT_EQ(markersUnder(fs::current_path(), false), std::vector<std::string>{});
  EXPECT_EQ(s.list("work"), std::vector<std::string>{});
}

// What the engine prints for a name inside a one-line message (the escaping
// itself is unit-tested beside it).
std::string escaped(const std::string& name) { return output::printable(name); }

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

size_t lineCount(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// `err` is exactly `n` refusal lines of our own, each ending with a line feed.
void expectOwnLines(const std::string& err, size_t n, const std::string& what) {
  EXPECT_EQ(lineCount(err), n) << what << ": " << err;
  EXPECT_TRUE(err.empty() || err.back() == '\n') << what << ": " << err;
  for (const std::string& line : linesOf(err))
    EXPECT_EQ(line.rfind("engine: ", 0), 0u) << what << ": " << line;
}

RunOptions timed() {
  RunOptions o;
  o.timeout_seconds = kSeconds;
  return o;
}

Result run(const Store& s, const std::vector<std::string>& words) {
  return s.engine(words, timed());
}

// ---- corpus contents -------------------------------------------------------

using e2e::doc;
using e2e::repeat;
using e2e::textListLine;
using e2e::textRecord;

std::string imageListLine(int id, const std::string& name, const char* kind) {
  return "<id> " + std::to_string(id) + " </id> <fichier> " + name + " </fichier> <type> " + kind +
         " </type>\n";
}

std::string soundListLine(int id, const std::string& name) {
  return "<id> " + std::to_string(id) + " </id><fichier> " + name + " </fichier>\n";
}

// The descriptor of a one-pixel image whose quantised value is `hex`.
std::string onePixelRecord(int id, const char* kind, const std::string& hex) {
  return "<id> " + std::to_string(id) + " </id>\n<type> " + kind +
         " </type>\n<nbcolonne> 1 </nbcolonne>\n<nbligne> 1 </nbligne>\n<nbvaleur> 1 "
         "</nbvaleur>\n<valeurs>\n" +
         hex + ": 1;\n</valeurs>\n\n";
}

std::string samples(const std::vector<double>& xs) {
  std::string bytes(xs.size() * 8, '\0');
  std::memcpy(bytes.data(), xs.data(), bytes.size());
  return bytes;
}

std::string soundOf(double x, size_t count) { return samples(std::vector<double>(count, x)); }

// A word made of letters only, different for each i.
std::string letterWord(size_t i) {
  std::string w = "terme";
  do {
    w += static_cast<char>('a' + i % 26);
    i /= 26;
  } while (i != 0);
  return w;
}

std::string junk(uint32_t seed, size_t size) {
  std::mt19937 rng(seed);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(rng() & 0xff);
  return s;
}

// The documents shown by "recherche" (each as "\n" NAME "\n" and the prompt),
// in order; ADD_FAILURE when the output is not made of such blocks.
std::vector<std::string> shownNames(const std::string& out) {
  std::vector<std::string> names;
  const std::string prompt = kPrompt;
  size_t at = 0;
  while (at < out.size()) {
    if (out[at] != '\n') {
      ADD_FAILURE() << "unexpected output at " << at << ": " << out.substr(at, 200);
      break;
    }
    const size_t end = out.find('\n', at + 1);
    if (end == std::string::npos || out.compare(end + 1, prompt.size(), prompt) != 0) {
      ADD_FAILURE() << "unexpected output at " << at << ": " << out.substr(at, 200);
      break;
    }
    names.push_back(out.substr(at + 1, end - at - 1));
    at = end + 1 + prompt.size();
  }
  return names;
}

}  // namespace

// ---- corpus names ----------------------------------------------------------

TEST(HostileNames, CorpusNamesAreStoredAsTheyAreAndNothingRuns) {
  Store s;
  const std::vector<std::string> stems = storedStems();
  const std::vector<std::string> refused = refusedStems();
  // Text names may also be the very marks of the text list, or a lone "-".
  std::vector<std::string> textNames;
  for (const auto& stem : stems) textNames.push_back(stem + ".xml");
  for (const char* extra : {"-", "<id>", "<filename>", "<mots>", "<debut>"})
    textNames.push_back(extra);
  std::sort(textNames.begin(), textNames.end());  // the C locale sorts by bytes

  std::map<std::string, std::string> textContent;
  for (size_t i = 0; i < textNames.size(); ++i) {
    textContent[textNames[i]] = doc(repeat(letterWord(i), 3) + repeat("commun", 3));
    s.write(kTexts + textNames[i], textContent[textNames[i]]);
  }
  std::vector<std::string> imageNames, soundNames;
  for (const auto& stem : stems) {
    imageNames.push_back(stem + ".txt");
    soundNames.push_back(stem + ".bin");
  }
  std::sort(imageNames.begin(), imageNames.end());
  std::sort(soundNames.begin(), soundNames.end());
  for (const auto& name : imageNames) {
    s.write(kRgb + name, "1 1 3\n255 0 0\n");
    s.write(kNb + name, "1 1 1\n16\n");
  }
  for (const auto& name : soundNames) s.write(kSounds + name, soundOf(0.5, 3));
  for (const auto& stem : refused) {
    s.write(kTexts + stem + ".xml", doc(repeat("refus", 3)));
    s.write(kRgb + stem + ".txt", "1 1 3\n1 2 3\n");
    s.write(kNb + stem + ".txt", "1 1 1\n1\n");
    s.write(kSounds + stem + ".bin", soundOf(0.5, 3));
  }

  const Result r = run(s, {"indexation"});
  EXPECT_EQ(r.status, 0) << r.err;
  expectNothingRan(s);

  // One line per refused name and corpus, naming the file with its control
  // bytes escaped.
  expectOwnLines(r.err, 4 * refused.size(), "indexation");
  for (const auto& stem : refused) {
    for (const std::string& file : {kTexts + stem + ".xml", kRgb + stem + ".txt",
                                    kNb + stem + ".txt", kSounds + stem + ".bin"}) {
      const std::string shown = escaped("../" + file);
      size_t lines = 0;
      for (const auto& line : linesOf(r.err)) lines += line.find(shown) != std::string::npos;
      EXPECT_EQ(lines, 1u) << shown;
    }
  }

  // Texts: list, descriptors, index and scratch copies, byte for byte.
  std::string list, base, common;
  for (size_t i = 0; i < textNames.size(); ++i) {
    list += textListLine(static_cast<int>(i + 1), textNames[i]);
    base += textRecord(static_cast<int>(i + 1), letterWord(i) + " 3 ; commun 3 ; ");
    common += (i == 0 ? "" : " ; ") + std::to_string(i + 1) + " 3";
  }
  EXPECT_EQ(s.read(kTextList), list);
  EXPECT_EQ(s.read(kTextBase), base);
  const std::string index = s.read(kTextIndex);
  EXPECT_NE(index.find("<mot> commun </mot> <key_nb> " + common + "  </key_nb> \n"),
            std::string::npos)
      << index;
  for (const auto& name : textNames) {
    EXPECT_EQ(s.read("INDEXATION/temp_txt/cpy/" + name), textContent[name]) << name;
  }

  // Images: colour corpus first, then grey, each in listing order.
  std::string imageList, imageBase = "NB_BIT_RGB: 3\nNB_BIT_NB: 4\n";
  int id = 0;
  for (const auto& name : imageNames) {
    imageList += imageListLine(id, name, "RGB");
    imageBase += onePixelRecord(id++, "RGB", "0x01c0");
  }
  for (const auto& name : imageNames) {
    imageList += imageListLine(id, name, "NB");
    imageBase += onePixelRecord(id++, "NB", "0x01");
  }
  EXPECT_EQ(s.read(kImageList), imageList);
  EXPECT_EQ(s.read(kImageBase), imageBase);

  // Sounds.
  std::string soundList, soundBase = "2048 40\n", soundOut;
  std::string row = "<fenetre> ";
  for (int k = 0; k <= 40; ++k) row += k == 29 ? "3 " : "0 ";  // 0.5 lies in interval 29
  row += " </fenetre>\n";
  for (size_t i = 0; i < soundNames.size(); ++i) {
    soundList += soundListLine(static_cast<int>(i), soundNames[i]);
    soundBase += "<id> " + std::to_string(i) + " </id>\n" + row;
    soundOut += "Le fichier " + soundNames[i] + " à été indexé !\n\n";
  }
  EXPECT_EQ(s.read(kSoundList), soundList);
  EXPECT_EQ(s.read(kSoundBase), soundBase);
  EXPECT_EQ(r.out, std::string(kTextClosing) + kImageClosing + soundOut);

  // The keyword search shows every document under its own name, the marks
  // of the list included.
  const Result found = run(s, {"recherche", "commun"});
  EXPECT_EQ(found.status, 0);
  EXPECT_EQ(found.err, "");
  std::vector<std::string> shown = shownNames(found.out);
  std::sort(shown.begin(), shown.end());
  EXPECT_EQ(shown, textNames);
  expectNothingRan(s);
}

// ---- query paths -----------------------------------------------------------

namespace {

// A store indexed with one document, image and sound, and the plain queries
// "q.xml", "q.txt" and "q.bin" that match them.
class HostileQueries : public testing::Test {
 protected:
  void SetUp() override {
    s.write(e2e::kConfig, "<sound>\nechantillons: 2048\nnbintervalles: 1\n</sound>");
    textQuery = doc(repeat("maison", 3) + repeat("jardin", 3));
    imageQuery = "2 2 1\n10 20\n30 40\n";
    // Windows: one of 2047 samples out of range, one of 2048 in interval 0.
    std::string sound = soundOf(5.0, 2047) + soundOf(0.5, 2048);
    soundQuery = soundOf(0.5, 1500);
    s.write(kTexts + "a.xml", textQuery);
    s.write(kNb + "g.txt", imageQuery);
    s.write(kSounds + "x.bin", sound);
    ASSERT_EQ(run(s, {"indexation"}).status, 0);
    for (const auto& [medium, ext, content] : media()) {
      s.write("q" + ext, content);
      reference[medium] = run(s, {"comparaison", medium, "../q" + ext});
      ASSERT_EQ(reference[medium].status, 0) << medium;
      ASSERT_EQ(reference[medium].err, "") << medium;
    }
    ASSERT_EQ(reference["texte"].out,
              "document d'id 1 a 2 mots en commun sur avec votre fichier\n");
    ASSERT_EQ(reference["image"].out,
              "Requête : ../q.txt\nImage g.txt (id 0) : 100 % de ressemblance\n");
    ASSERT_NE(reference["son"].out.find("Une ressemblance à été trouvée dans x.bin"),
              std::string::npos)
        << reference["son"].out;
  }

  struct Medium {
    std::string medium, ext, content;
  };
  std::vector<Medium> media() const {
    return {
        {"texte", ".xml", textQuery}, {"image", ".txt", imageQuery}, {"son", ".bin", soundQuery}};
  }

  // The reference output of `medium` as it reads for query path `path`.
  std::string expectedOut(const std::string& medium, const std::string& path) {
    std::string out = reference[medium].out;
    if (medium == "texte") return out;
    const std::string head =
        "Requête : ../q" + std::string(medium == "image" ? ".txt" : ".bin") + "\n";
    return "Requête : " + path + "\n" + out.substr(head.size());
  }

  Store s;
  std::string textQuery, imageQuery, soundQuery;
  std::map<std::string, Result> reference;
};

}  // namespace

TEST_F(HostileQueries, AnyNameIsOpenedAsItIs) {
  std::vector<std::string> stems = storedStems();
  for (const auto& stem : refusedStems()) stems.push_back(stem);
  for (const auto& [medium, ext, content] : media()) {
    for (const auto& stem : stems) {
      const std::string name = stem + ext;
      s.write(name, content);
      const std::string path = "../" + name;
      const Result r = run(s, {"comparaison", medium, path});
      EXPECT_EQ(r.status, 0) << medium << " " << escaped(path) << "\n" << r.err;
      EXPECT_EQ(r.err, "") << medium << " " << escaped(path);
      EXPECT_EQ(r.out, expectedOut(medium, path)) << medium << " " << escaped(path);
      if (medium == "texte") {
        EXPECT_EQ(s.read("INDEXATION/temp_txt/cpy/" + name), content) << escaped(name);
      }
      s.remove(name);
    }
  }
  // A path starting with "-" is a path, and "-" is not standard input.
  s.write("work/-rf", textQuery);
  const Result dash = s.engine({"comparaison", "texte", "-rf"}, timed());
  EXPECT_EQ(dash.out, expectedOut("texte", "-rf"));
  s.remove("work/-rf");
  expectNothingRan(s);
}

TEST_F(HostileQueries, UnusablePathsAreOneEscapedLine) {
  std::vector<std::string> paths;
  for (const auto& stem : storedStems()) paths.push_back("../absent" + stem);
  for (const auto& stem : refusedStems()) paths.push_back("../absent" + stem);
  paths.push_back("-");
  paths.push_back("--version");
  paths.push_back("../" + std::string(256, 'N'));  // a name too long for the system
  std::string deep;
  while (deep.size() < 5000) deep += "sub/../";
  paths.push_back(deep + "q.xml");                    // a path too long for the system
  paths.push_back("../" + std::string(100000, 'P'));  // one long argument
  fs::create_symlink("loop", s.path("loop"));
  paths.push_back("../loop");  // a link to itself
  for (const auto& [medium, ext, content] : media()) {
    for (const auto& path : paths) {
      RunOptions o = timed();
      o.stdin_data = content;  // never read as the query
      const Result r = s.engine({"comparaison", medium, path}, o);
      const std::string what = medium + " " + escaped(path).substr(0, 80);
      EXPECT_EQ(r.status, 1) << what;
      expectOwnLines(r.err, 1, what);
      EXPECT_NE(r.err.find(escaped(path)), std::string::npos)
          << what << ": " << r.err.substr(0, 300);
      const std::string head = "Requête : " + path + "\n";
      const std::string out = medium == "texte" ? "" : medium == "image" ? head + kOpener : head;
      EXPECT_EQ(r.out, out) << what;
    }
  }
  expectNothingRan(s);
}

TEST_F(HostileQueries, SearchedWordsAreOnlyLookedUp) {
  // Words that a shell would expand, stored as they are by a document.
  const std::vector<std::string> words = {"$HOME",  "`id`x",      "****",  "-rf-",
                                          "--help", "\"quoted\"", "$(id)x"};
  std::string body;
  for (const auto& w : words) body += repeat(w, 3);
  s.write(kTexts + "b.xml", doc(body));
  ASSERT_EQ(run(s, {"indexation"}).status, 0);
  // "(" and ")" are punctuation: "$(id)x" is described as "$idx".
  for (const auto& w : words) {
    const std::string looked_up = w == "$(id)x" ? "$idx" : w;
    // A word that reads as the help option is given after "--".
    const Result r = w == "--help" ? run(s, {"recherche", "--", looked_up}) : run(s, {"recherche", looked_up});
    EXPECT_EQ(r.status, 0) << w;
    EXPECT_EQ(r.err, "") << w;
    EXPECT_EQ(r.out, std::string("\nb.xml\n") + kPrompt) << w;
  }
  std::vector<std::string> absent;
  for (const auto& stem : storedStems()) absent.push_back(stem);
  for (const auto& stem : refusedStems()) absent.push_back(stem);
  absent.push_back("");
  absent.push_back(std::string(100000, 'W'));
  for (const auto& w : absent) {
    if (std::find(words.begin(), words.end(), w) != words.end()) continue;
    const Result r = run(s, {"recherche", w});
    EXPECT_EQ(r.status, 0) << escaped(w);
    EXPECT_EQ(r.err, "") << escaped(w);
    EXPECT_EQ(r.out, "mot non trouvé \n") << escaped(w);
  }
  expectNothingRan(s);
}

// ---- binary junk and tokens of megabytes ---------------------------------

namespace {

// The words of each "<mots>" section of a text descriptor base, per record.
std::vector<std::vector<std::string>> descriptorWords(const std::string& base) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> tokens;
  size_t i = 0;
  auto space = [](char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
  };
  while (i < base.size()) {
    while (i < base.size() && space(base[i])) ++i;
    size_t j = i;
    while (j < base.size() && !space(base[j])) ++j;
    if (j > i) tokens.push_back(base.substr(i, j - i));
    i = j;
  }
  for (size_t k = 0; k < tokens.size(); ++k) {
    if (tokens[k] != "<mots>") continue;
    records.emplace_back();
    for (size_t m = k + 1; m < tokens.size() && tokens[m] != "</mots>"; m += 3)
      records.back().push_back(tokens[m]);
  }
  return records;
}

std::string comparisonLine(int id, size_t shared) {
  return "document d'id " + std::to_string(id) + " a " + std::to_string(shared) +
         " mots en commun sur avec votre fichier\n";
}

}  // namespace

TEST(HostileInputs, BinaryJunkDocumentIsDescribedIntoWellFormedBases) {
  Store s;
  s.write(e2e::kConfig, "txt_nboccurrences: 1");  // every junk word enters the descriptor
  const std::string bytes = junk(7, 200000);
  s.write(kTexts + "junk.xml", bytes);
  s.write(kTexts + "mots.xml", doc(repeat("maison", 3)));
  const Result r = run(s, {"indexation"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind(kTextClosing, 0), 0u);
  EXPECT_EQ(s.read(kTextList), textListLine(1, "junk.xml") + textListLine(2, "mots.xml"));
  EXPECT_EQ(s.read("INDEXATION/temp_txt/cpy/junk.xml"), bytes);

  // One line per record, one line per index entry, every line closed.
  const std::string base = s.read(kTextBase);
  const std::vector<std::string> records = linesOf(base);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].rfind("<debut> <id> 1 </id> <mots> ", 0), 0u);
  EXPECT_EQ(records[0].substr(records[0].size() - 16), "  </mots> </fin>");
  EXPECT_EQ(records[1], "<debut> <id> 2 </id> <mots> maison 3 ;   </mots> </fin>");
  const std::vector<std::vector<std::string>> words = descriptorWords(base);
  ASSERT_EQ(words.size(), 2u);
  ASSERT_GT(words[0].size(), 100u);
  const std::string index = s.read(kTextIndex);
  for (const std::string& line : linesOf(index)) {
    EXPECT_EQ(line.rfind("<mot> ", 0), 0u) << escaped(line);
    EXPECT_EQ(line.substr(line.size() - 12), "  </key_nb> ") << escaped(line);
  }
  EXPECT_EQ(index.back(), '\n');

  // The junk as a query finds its own document with all its words.
  s.write("junk.q", bytes);
  const Result q = run(s, {"comparaison", "texte", "../junk.q"});
  EXPECT_EQ(q.status, 0);
  EXPECT_EQ(q.err, "");
  EXPECT_EQ(q.out, comparisonLine(1, words[0].size()));

  // A junk word (one that an argument can carry) is found by the keyword search.
  const auto word = std::find_if(words[0].begin(), words[0].end(), [](const std::string& w) {
    return w.find('\0') == std::string::npos && w.size() > 3;
  });
  ASSERT_NE(word, words[0].end());
  const Result k = run(s, {"recherche", *word});
  EXPECT_EQ(k.status, 0);
  EXPECT_EQ(k.out, std::string("\njunk.xml\n") + kPrompt);
}

TEST(HostileInputs, TextTokensOfMegabytes) {
  Store s;
  const std::string big(3 << 20, 'a');
  s.write(kTexts + "big.xml", doc(repeat(big, 3) + repeat("maison", 3)));
  s.write(kTexts + "small.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
  const Result r = run(s, {"indexation"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(s.read(kTextBase),
            textRecord(1, big + " 3 ; maison 3 ; ") + textRecord(2, "maison 3 ; jardin 3 ; "));
  EXPECT_EQ(s.read(kTextIndex), "<mot> " + big + " </mot> <key_nb> 1 3  </key_nb> \n" +
                                    "<mot> maison </mot> <key_nb> 1 3 ; 2 3  </key_nb> \n" +
                                    "<mot> jardin </mot> <key_nb> 2 3  </key_nb> \n");

  // The same word in a query; then a word of megabytes that nearly matches
  // at every offset, which a naive search would take hours over.
  s.write("q.xml", doc(repeat(big, 3) + repeat("maison", 3)));
  Result q = run(s, {"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(q.status, 0);
  EXPECT_EQ(q.out, comparisonLine(1, 2));
  s.write("q.xml", doc(repeat(std::string(3 << 19, 'a') + "b", 3) + repeat("maison", 3) +
                       repeat("jardin", 3)));
  q = run(s, {"comparaison", "texte", "../q.xml"});
  EXPECT_EQ(q.status, 0);
  EXPECT_EQ(q.err, "");
  EXPECT_EQ(q.out, comparisonLine(2, 2));

  // The keyword search passes over the long entry (an argument itself is
  // limited by the system to 128 KiB).
  q = run(s, {"recherche", std::string(100000, 'a')});
  EXPECT_EQ(q.out, "mot non trouvé \n");
  q = run(s, {"recherche", "jardin"});
  EXPECT_EQ(q.out, std::string("\nsmall.xml\n") + kPrompt);
}

TEST(HostileInputs, ImageAndSoundTokensOfMegabytes) {
  Store s;
  s.write(kNb + "g.txt", "1 2 1\n7 200\n");
  s.write(kSounds + "x.bin", soundOf(5.0, 2047) + soundOf(0.5, 2048));
  s.write(e2e::kConfig, "echantillons: 2048 nbintervalles: 1");
  ASSERT_EQ(run(s, {"indexation"}).status, 0);
  s.write("q.txt", "1 2 1\n7 200\n");
  s.write("q.bin", soundOf(0.5, 1500));
  const Result image = run(s, {"comparaison", "image", "../q.txt"});
  const Result sound = run(s, {"comparaison", "son", "../q.bin"});
  ASSERT_EQ(image.out, "Requête : ../q.txt\nImage g.txt (id 0) : 100 % de ressemblance\n");
  ASSERT_NE(sound.out.find("x.bin"), std::string::npos) << sound.out;

  const std::string zeros(3 << 20, '0');
  // Query values and header numbers written with megabytes of leading zeros
  // (octal for strtol, the same numbers).
  s.write("q.txt", zeros + "1 " + zeros + "2 " + zeros + "1\n" + zeros + "7 200\n");
  Result r = run(s, {"comparaison", "image", "../q.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, image.out);
  // A value of megabytes of digits is out of range.
  s.write("q.txt", "1 2 1\n7 " + std::string(3 << 20, '9') + "\n");
  r = run(s, {"comparaison", "image", "../q.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, std::string("Requête : ../q.txt\n") + kBad);
  EXPECT_EQ(r.err, "");

  // The bases with long numbers and a long stray token read as before.
  const std::string imageBase = s.read(kImageBase), soundBase = s.read(kSoundBase);
  std::string padded = imageBase;
  padded.replace(padded.find("0x00: 1;"), 8, "0x" + zeros + "0: 1;");
  padded.replace(padded.find("<nbvaleur> 2"), 12,
                 "<nbvaleur> " + zeros + "2 " + std::string(3 << 20, 'z'));
  s.write(kImageBase, padded);
  s.write("q.txt", "1 2 1\n7 200\n");
  r = run(s, {"comparaison", "image", "../q.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, image.out);
  padded = soundBase;
  padded.replace(padded.find("<fenetre> 0 2047"), 16, "<fenetre> " + zeros + " " + zeros + "2047");
  s.write(kSoundBase, padded);
  r = run(s, {"comparaison", "son", "../q.bin"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, sound.out);
  // A name of megabytes in the image list is printed whole, on its line.
  const std::string longName(3 << 20, 'n');
  s.write(kImageList, imageListLine(0, longName, "NB"));
  r = run(s, {"comparaison", "image", "../q.txt"});
  EXPECT_EQ(r.out, "Requête : ../q.txt\nImage " + longName + " (id 0) : 100 % de ressemblance\n");
}

TEST(HostileInputs, ConfigurationTokensOfMegabytes) {
  Store s;
  const std::string zeros(3 << 20, '0');
  const std::string nines(3 << 20, '9');
  s.write(e2e::kConfig, "<txt> txt_nboccurrences: " + zeros + "1 </txt> " +
                            std::string(3 << 20, 'k') + ": <sound> echantillons: " + zeros +
                            "512 nbintervalles: " + nines + " </sound> <image> NbBit_NB: " + zeros +
                            "5 NbBit_RGB: " + nines + " </image>");
  s.write(kTexts + "a.xml", doc("maison jardin"));
  s.write(kSounds + "s.bin", soundOf(0.5, 3));
  const Result r = run(s, {"indexation"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  // Each refused value is named on one line.
  EXPECT_EQ(r.out, std::string(kTextClosing) +
                       "\nParametre de bits Nb incorrecte pour l'indexation image RGB ! \n" +
                       kImageClosing +
                       "Parametre nbintervalles: incorrect pour l'indexation son : " + nines +
                       " ignoré !\n" + "Le fichier s.bin à été indexé !\n\n");
  EXPECT_EQ(s.read(kTextBase), textRecord(1, "maison 1 ; jardin 1 ; "));
  EXPECT_EQ(s.read(kImageBase), "NB_BIT_RGB: 3\nNB_BIT_NB: 5\n");
  EXPECT_EQ(s.read(kSoundBase).substr(0, 7), "512 40\n");
}

// ---- image headers and sounds of a few bytes -----------------------------

TEST(HostileInputs, ImageHeadersAnnouncingTwoToTheThirtyOnePixels) {
  Store s;
  struct Case {
    std::string name, content;
    const char* fault;
  };
  const std::vector<Case> colour = {
      {"a.txt", "2147483648 2147483648 3\n1 2 3\n", kBad},  // 2^31 x 2^31
      {"b.txt", "46341 46341 3\n1 2 3\n", kBad},            // just over 2^31 - 1 pixels
      {"c.txt", "1 715827883 3\n1 2 3\n", kShort},          // pixels fit, 2^31 + 1 values
  };
  const std::vector<Case> grey = {
      {"d.txt", "2147483648 1 1\n0\n", kBad},    // 2^31 lines
      {"e.txt", "65536 32768 1\n0\n", kBad},     // exactly 2^31 pixels
      {"f.txt", "2147483647 1 1\n0\n", kShort},  // 2^31 - 1: announced, not there
      {"g.txt", "4294967297 1 1\n0\n", kBad},    // 2^32 + 1 is not 1
      {"h.txt", "1 -2147483648 1\n0\n", kBad},  {"i.txt", "1 1 1\n0\n", nullptr},
  };
  std::string expected;
  for (const auto* cases : {&colour, &grey}) {
    for (const Case& c : *cases) {
      const std::string dir = cases == &colour ? kRgb : kNb;
      s.write(dir + c.name, c.content);
      if (c.fault != nullptr)
        expected += std::string(c.fault) +
                    "\nErreur de lecture ou de quantification sur l'image:../" + dir + c.name +
                    "\n";
    }
  }
  const Result r = run(s, {"indexation"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, std::string(kTextClosing) + expected + kImageClosing);
  EXPECT_EQ(s.read(kImageList), imageListLine(0, "i.txt", "NB"));

  // The same files as queries cannot be searched.
  for (const auto* cases : {&colour, &grey}) {
    for (const Case& c : *cases) {
      if (c.fault == nullptr) continue;
      s.write(c.name, c.content);
      const Result q = run(s, {"comparaison", "image", "../" + c.name});
      EXPECT_EQ(q.status, 1) << c.name;
      EXPECT_EQ(q.err, "") << c.name;
      EXPECT_EQ(q.out, "Requête : ../" + c.name + "\n" + c.fault) << c.name;
    }
  }
}

TEST_F(HostileQueries, SoundsOfAFewBytes) {
  for (const size_t size : {0, 1, 7, 8, 9, 15, 23}) {
    s.write("q.bin", junk(static_cast<uint32_t>(size), size));
    const Result r = run(s, {"comparaison", "son", "../q.bin"});
    EXPECT_EQ(r.status, 0) << size;
    EXPECT_EQ(r.err, "") << size;
    EXPECT_EQ(r.out, "Requête : ../q.bin\n") << size;
  }
}

// ---- bases cut in the middle of a record ---------------------------------

namespace {

// Offsets at which to cut `full`: a spread over the whole text, and the
// bytes around each occurrence of `marks`.
std::vector<size_t> cutPoints(const std::string& full, const std::vector<std::string>& marks) {
  std::set<size_t> cuts;
  const size_t step = std::max<size_t>(1, full.size() / 40);
  for (size_t c = 0; c < full.size(); c += step) cuts.insert(c);
  for (const std::string& m : marks)
    for (size_t at = full.find(m); at != std::string::npos; at = full.find(m, at + 1))
      for (const size_t c : {at, at + 1, at + m.size() - 1, at + m.size(), at + m.size() + 1})
        if (c < full.size()) cuts.insert(c);
  return {cuts.begin(), cuts.end()};
}

// Offsets just past each occurrence of `mark`.
std::vector<size_t> endsOf(const std::string& full, const std::string& mark) {
  std::vector<size_t> ends;
  for (size_t at = full.find(mark); at != std::string::npos; at = full.find(mark, at + 1))
    ends.push_back(at + mark.size());
  return ends;
}

size_t countUpTo(const std::vector<size_t>& ends, size_t cut) {
  return static_cast<size_t>(
      std::count_if(ends.begin(), ends.end(), [&](size_t e) { return e <= cut; }));
}

bool isPrefixOf(const std::string& part, const std::string& whole) {
  return whole.compare(0, part.size(), part) == 0 && part.size() <= whole.size();
}

// A store indexed with three documents, five images and three sounds, and a
// query of each medium that matches several of them.
class TruncatedBases : public testing::Test {
 protected:
  void SetUp() override {
    s.write(e2e::kConfig, "<sound>\nechantillons: 2048\nnbintervalles: 1\n</sound>");
    s.write(kTexts + "a.xml", doc(repeat("maison", 3) + repeat("jardin", 3) + repeat("arbre", 3)));
    s.write(kTexts + "b.xml", doc(repeat("maison", 4) + repeat("jardin", 3) + repeat("fleur", 3)));
    s.write(kTexts + "c.xml", doc(repeat("maison", 5) + repeat("jardin", 3)));
    s.write(kRgb + "c1.txt", "1 1 3\n255 0 0\n");
    s.write(kRgb + "c2.txt", "1 1 3\n0 255 0\n");
    s.write(kNb + "g1.txt", "2 2 1\n10 20\n30 40\n");
    s.write(kNb + "g2.txt", "2 2 1\n200 200\n200 200\n");
    s.write(kNb + "g3.txt", "1 2 1\n10 20\n");
    // Window kinds: "s" out of range, "i" in interval 0 (the first window
    // holds 2047 samples); each sound holds the query once.
    auto windows = [](const std::string& kinds) {
      std::string bytes;
      for (size_t w = 0; w < kinds.size(); ++w)
        bytes += soundOf(kinds[w] == 'i' ? 0.5 : 5.0, w == 0 ? 2047 : 2048);
      return bytes;
    };
    s.write(kSounds + "x.bin", windows("si"));
    s.write(kSounds + "y.bin", windows("sssi"));
    s.write(kSounds + "z.bin", windows("sssssi"));
    ASSERT_EQ(run(s, {"indexation"}).status, 0);
    s.write("q.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
    s.write("q.txt", "2 2 1\n10 20\n30 40\n");
    s.write("q.bin", soundOf(0.5, 1500));
  }

  // Runs `words` with `file` cut at each point; `check` sees the cut and
  // the result. The file is restored afterwards.
  template <typename Check>
  void forEachCut(const std::string& file, const std::vector<std::string>& marks,
                  const std::vector<std::string>& words, Check check) {
    const std::string full = s.read(file);
    for (const size_t cut : cutPoints(full, marks)) {
      s.write(file, full.substr(0, cut));
      const Result r = run(s, words);
      SCOPED_TRACE(file + " cut at " + std::to_string(cut) + ": " + escaped(full.substr(0, cut)));
      check(cut, r);
    }
    s.write(file, full);
  }

  Store s;
};

}  // namespace

TEST_F(TruncatedBases, TextDescriptorBaseComparesItsCompleteRecords) {
  const std::vector<size_t> ends = endsOf(s.read(kTextBase), "</fin>");
  ASSERT_EQ(ends.size(), 3u);
  forEachCut(kTextBase, {"</fin>", "<id>", "<mots>", "</mots>"},
             {"comparaison", "texte", "../q.xml"}, [&](size_t cut, const Result& r) {
               std::string expected;
               for (size_t id = countUpTo(ends, cut); id >= 1; --id)
                 expected += comparisonLine(static_cast<int>(id), 2);
               EXPECT_EQ(r.status, 0);
               EXPECT_EQ(r.err, "");
               EXPECT_EQ(r.out, expected);
             });
}

TEST_F(TruncatedBases, TextIndexAndListServeTheKeywordSearch) {
  // "maison" counts 3, 4 and 5: shown c.xml, b.xml, a.xml. Its entry comes
  // first in the index; a cut keeps the documents whose pair is whole.
  const std::vector<std::string> order = {"c.xml", "b.xml", "a.xml"};
  size_t last_kept = 0;
  forEachCut(kTextIndex, {"<key_nb>", " ; ", "</key_nb>"}, {"recherche", "maison"},
             [&](size_t, const Result& r) {
               EXPECT_EQ(r.status, 0);
               EXPECT_EQ(r.err, "");
               if (r.out == "mot non trouvé \n") return;
               const std::vector<std::string> shown = shownNames(r.out);
               ASSERT_LE(shown.size(), 3u);
               // The documents kept are the first ones of the entry: the
               // lowest identifiers, shown from the highest count down.
               EXPECT_EQ(shown, std::vector<std::string>(
                                    order.end() - static_cast<long>(shown.size()), order.end()));
               EXPECT_GE(shown.size(), last_kept);
               last_kept = shown.size();
             });
  EXPECT_EQ(last_kept, 3u);

  // A cut list: each document is shown under its name, a part of it, or
  // said to be missing from the list.
  forEachCut(
      kTextList, {"<id>", "<filename>", "</filename>"}, {"recherche", "maison"},
      [&](size_t, const Result& r) {
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        std::string rest = r.out;
        for (size_t k = 0; k < order.size(); ++k) {
          const std::string id = std::to_string(3 - k);
          const std::string absent = "document d'id " + id + " absent de la liste des textes\n";
          if (rest.rfind(absent, 0) == 0) {
            rest = rest.substr(absent.size());
            continue;
          }
          const size_t end = rest.find('\n', 1);
          ASSERT_TRUE(rest.rfind("\n", 0) == 0 && end != std::string::npos) << escaped(r.out);
          EXPECT_TRUE(isPrefixOf(rest.substr(1, end - 1), order[k])) << escaped(r.out);
          ASSERT_EQ(rest.compare(end + 1, std::strlen(kPrompt), kPrompt), 0) << escaped(r.out);
          rest = rest.substr(end + 1 + std::strlen(kPrompt));
        }
        EXPECT_EQ(rest, "");
      });
}

TEST_F(TruncatedBases, ImageBaseScoresItsCompleteRecords) {
  const std::string full = s.read(kImageBase);
  const Result whole = run(s, {"comparaison", "image", "../q.txt"});
  ASSERT_EQ(whole.status, 0);
  const std::vector<std::string> lines = linesOf(whole.out);
  ASSERT_EQ(lines.size(), 4u);  // the request and the three grey images
  const std::vector<size_t> ends = endsOf(full, "</valeurs>");
  ASSERT_EQ(ends.size(), 5u);
  const size_t header_end = full.find('\n', full.find("NB_BIT_NB:"));
  forEachCut(kImageBase, {"</valeurs>", "<valeurs>", "<id>", "NB_BIT"},
             {"comparaison", "image", "../q.txt"}, [&](size_t cut, const Result& r) {
               if (cut < header_end) {
                 EXPECT_EQ(r.status, 1);
                 expectOwnLines(r.err, 1, "image base");
                 EXPECT_EQ(r.out, lines[0] + "\n");
                 return;
               }
               // Records are numbered from 0 in base order.
               const size_t complete = countUpTo(ends, cut);
               std::string expected = lines[0] + "\n";
               for (size_t k = 1; k < lines.size(); ++k) {
                 const size_t at = lines[k].find("(id ") + 4;
                 if (std::stoul(lines[k].substr(at)) < complete) expected += lines[k] + "\n";
               }
               if (expected == lines[0] + "\n")
                 expected += "Aucune image du même type dans la base.\n";
               EXPECT_EQ(r.status, 0);
               EXPECT_EQ(r.err, "");
               EXPECT_EQ(r.out, expected);
             });

  // A cut list: the same lines, each name whole, cut or "?".
  forEachCut(kImageList, {"<id>", "<fichier>"}, {"comparaison", "image", "../q.txt"},
             [&](size_t, const Result& r) {
               EXPECT_EQ(r.status, 0);
               EXPECT_EQ(r.err, "");
               const std::vector<std::string> got = linesOf(r.out);
               ASSERT_EQ(got.size(), lines.size()) << r.out;
               EXPECT_EQ(got[0], lines[0]);
               for (size_t k = 1; k < got.size(); ++k) {
                 const size_t tail = lines[k].find(" (id "), got_tail = got[k].find(" (id ");
                 ASSERT_NE(got_tail, std::string::npos) << got[k];
                 EXPECT_EQ(got[k].substr(got_tail), lines[k].substr(tail));
                 const std::string name = got[k].substr(6, got_tail - 6);
                 EXPECT_TRUE(name == "?" || isPrefixOf(name, lines[k].substr(6, tail - 6)))
                     << got[k];
               }
             });
}

TEST_F(TruncatedBases, SoundBaseReportsItsCompleteSounds) {
  const std::string full = s.read(kSoundBase);
  const Result whole = run(s, {"comparaison", "son", "../q.bin"});
  ASSERT_EQ(whole.status, 0);
  const std::string head = "Requête : ../q.bin\n";
  const std::vector<std::string> names = {"x.bin", "y.bin", "z.bin"};
  // Each sound's report, in base order.
  std::vector<std::string> reports;
  for (size_t d = 0; d < names.size(); ++d) {
    const size_t from = whole.out.find("Une ressemblance à été trouvée dans " + names[d]);
    ASSERT_NE(from, std::string::npos) << whole.out;
    const size_t to =
        d + 1 < names.size() ? whole.out.find("Une ressemblance", from + 1) : whole.out.size();
    reports.push_back(whole.out.substr(from, to - from));
  }
  // A sound is whole once the next one starts (the last one, uncut).
  std::vector<size_t> starts = endsOf(full, "<id> ");
  ASSERT_EQ(starts.size(), 3u);
  starts.erase(starts.begin());
  starts.push_back(full.size());
  const size_t header_end = full.find('\n');
  const std::regex line(
      "|Une ressemblance à été trouvée dans [xyz]\\.bin à l'instant : [0-9]+\\.[0-9]{6}s  "
      "|Trouvé dans [xyz]\\.bin postiton :  [0-9]+\\.[0-9]{6}s  [0-9]+\\.[0-9]{6}s");
  forEachCut(kSoundBase, {"<id>", "</fenetre>"}, {"comparaison", "son", "../q.bin"},
             [&](size_t cut, const Result& r) {
               if (cut < header_end) {
                 EXPECT_EQ(r.status, 1);
                 expectOwnLines(r.err, 1, "sound base");
                 EXPECT_EQ(r.out, head);
                 return;
               }
               EXPECT_EQ(r.status, 0);
               EXPECT_EQ(r.err, "");
               std::string expected = head;
               for (size_t d = 0; d < names.size() && starts[d] <= cut; ++d) expected += reports[d];
               ASSERT_EQ(r.out.compare(0, expected.size(), expected), 0) << r.out;
               for (const std::string& l : linesOf(r.out.substr(expected.size())))
                 EXPECT_TRUE(std::regex_match(l, line)) << l;
             });

  // A cut list: the same reports under whole names, cut names or "?".
  forEachCut(kSoundList, {"<id>", "<fichier>"}, {"comparaison", "son", "../q.bin"},
             [&](size_t, const Result& r) {
               EXPECT_EQ(r.status, 0);
               EXPECT_EQ(r.err, "");
               const std::vector<std::string> got = linesOf(r.out), want = linesOf(whole.out);
               ASSERT_EQ(got.size(), want.size()) << r.out;
               for (size_t k = 0; k < got.size(); ++k) {
                 if (got[k] == want[k]) continue;
                 // The name stands between "dans " and " à" or " postiton".
                 const size_t from = want[k].find("dans ") + 5;
                 const size_t to = want[k].find(' ', from);
                 const size_t got_to = got[k].find(' ', from);
                 ASSERT_NE(got_to, std::string::npos) << got[k];
                 const std::string name = got[k].substr(from, got_to - from);
                 EXPECT_TRUE(name == "?" || isPrefixOf(name, want[k].substr(from, to - from)))
                     << got[k];
                 EXPECT_EQ(got[k].substr(got_to), want[k].substr(to)) << got[k];
               }
             });
}

// ---- configuration files -------------------------------------------------

namespace {

// Junk that cannot hold a key (every key ends with a colon).
std::string noColon(std::string bytes) {
  std::replace(bytes.begin(), bytes.end(), ':', ';');
  return bytes;
}

}  // namespace

TEST(HostileInputs, ConfigurationHoldingOnlyAKeyEmptyOrBinary) {
  const std::string nb = "\nParametre de bits Nb incorrecte pour l'indexation image NB ! \n";
  const std::string rgb = "\nParametre de bits Nb incorrecte pour l'indexation image RGB ! \n";
  struct Case {
    std::string config, image_messages, sound_messages;
  };
  const std::vector<Case> cases = {
      {"txt_nboccurrences:", "", ""},
      {"echantillons:", "",
       "Parametre echantillons: incorrect pour l'indexation son : echantillons: ignoré !\n"},
      {"nbintervalles:", "",
       "Parametre nbintervalles: incorrect pour l'indexation son : nbintervalles: ignoré !\n"},
      {"NbBit_NB:", nb, ""},
      {"NbBit_RGB:", rgb, ""},
      {"  \n\t", "", ""},
      {"", "", ""},
      {std::string("\0\0\0\0", 4), "", ""},
      {noColon(junk(3, 4096)), "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(escaped(c.config.substr(0, 40)));
    Store s;
    s.write(e2e::kConfig, c.config);
    s.write(kTexts + "a.xml", doc(repeat("maison", 3) + repeat("jardin", 2)));
    s.write(kNb + "g.txt", "1 1 1\n16\n");
    s.write(kSounds + "s.bin", soundOf(0.5, 3));
    const Result r = run(s, {"indexation"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, std::string(kTextClosing) + c.image_messages + kImageClosing +
                         c.sound_messages + "Le fichier s.bin à été indexé !\n\n");
    // Every reader falls back on its default values.
    EXPECT_EQ(s.read(kTextBase), textRecord(1, "maison 3 ; "));
    EXPECT_EQ(s.read(kImageBase),
              "NB_BIT_RGB: 3\nNB_BIT_NB: 4\n" + onePixelRecord(0, "NB", "0x01"));
    EXPECT_EQ(s.read(kSoundBase).substr(0, 8), "1024 40\n");
    // And the comparisons run on what was built.
    s.write("q.xml", doc(repeat("maison", 3) + repeat("jardin", 3)));
    s.write("q.txt", "1 1 1\n16\n");
    s.write("q.bin", soundOf(0.5, 3));
    Result q = run(s, {"comparaison", "texte", "../q.xml"});
    EXPECT_EQ(q.status, 0);
    EXPECT_EQ(q.out, "");
    q = run(s, {"comparaison", "image", "../q.txt"});
    EXPECT_EQ(q.out, "Requête : ../q.txt\nImage g.txt (id 0) : 100 % de ressemblance\n");
    q = run(s, {"comparaison", "son", "../q.bin"});
    EXPECT_EQ(q.status, 0);
    EXPECT_EQ(q.err, "");
    EXPECT_EQ(q.out.rfind("Requête : ../q.bin\n", 0), 0u);
  }
}

// ---- data too large for memory --------------------------------------------

namespace {

// True when the kernel refuses at once an allocation far beyond the
// machine's memory (heuristic or strict overcommit). Under "always
// overcommit" such a request would be served page by page until the machine
// runs dry, so the test does not run there.
bool hugeAllocationsFail() {
  std::ifstream f("/proc/sys/vm/overcommit_memory");
  int mode = -1;
  f >> mode;
  return mode == 0 || mode == 2;
}

// AddressSanitizer's operator new reports a failed allocation and stops the
// process instead of throwing std::bad_alloc, so the engine built with it
// cannot show the refusal.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitizedNew = true;
#else
constexpr bool kSanitizedNew = false;
#endif

}  // namespace

TEST(HostileInputs, DescriptorsTooLargeForMemoryEndTheRequestWithOneLine) {
  if (!hugeAllocationsFail()) GTEST_SKIP() << "the kernel overcommits memory without limit";
  if (kSanitizedNew) GTEST_SKIP() << "AddressSanitizer stops at a failed allocation";
  if (std::getenv("E2E_WRAPPER") != nullptr)
    GTEST_SKIP() << "a wrapper's allocator (valgrind's) may stop instead of throwing";
  Store s;
  // One sample per window and 65536 intervals: each query sample makes a row
  // of 65537 counts, so 8 MB of query would take 262 GB. Longer than every
  // indexed sound, it can be found in none: it is read through, not kept.
  s.write(kSoundBase, "1 65536\n<id> 0 </id>\n<fenetre> 1 </fenetre>\n");
  s.write("q.bin", soundOf(0.5, 1 << 20));
  Result r = s.engine({"comparaison", "son", "../q.bin"}, timed());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "Requête : ../q.bin\n");

  // Base records announcing a million rows each, read on several threads.
  std::string base = "1 65536\n";
  for (int d = 0; d < 4; ++d) {
    base += "<id> " + std::to_string(d) + " </id>\n";
    for (int k = 0; k < 1000000; ++k) base += "<fenetre> ";
  }
  s.write(kSoundBase, base);
  s.write("q.bin", soundOf(0.5, 1));
  r = s.engine({"comparaison", "son", "../q.bin"}, timed());
  EXPECT_EQ(r.status, 1);
  expectOwnLines(r.err, 1, "huge records");
  EXPECT_EQ(r.out, "Requête : ../q.bin\n");

  // An indexation configured so: the text and image bases are made, the
  // sound base stays as it was.
  s.write(kSoundBase, "2048 40\n");
  s.write(kSoundList, "");
  s.write(e2e::kConfig, "echantillons: 1\nnbintervalles: 65536");
  for (const char* name : {"a.bin", "b.bin", "c.bin"})
    s.write(kSounds + name, soundOf(0.5, 1 << 20));
  s.write(kTexts + "a.xml", doc(repeat("maison", 3)));
  r = s.engine({"indexation"}, timed());
  EXPECT_EQ(r.status, 1);
  expectOwnLines(r.err, 1, "indexation");
  EXPECT_EQ(r.out, std::string(kTextClosing) + kImageClosing);
  EXPECT_EQ(s.read(kTextBase), textRecord(1, "maison 3 ; "));
  EXPECT_EQ(s.read(kImageBase), "NB_BIT_RGB: 3\nNB_BIT_NB: 4\n");
  EXPECT_EQ(s.read(kSoundBase), "2048 40\n");
  EXPECT_EQ(s.read(kSoundList), "");
}

TEST(HostileNames, RequestWordsThatNameNoRequestRunNothing) {
  Store s(/*with_config=*/false);
  const std::vector<std::vector<std::string>> bad = {
      {"indexation;touch${IFS}PWNED1"},
      {"$(touch PWNED2)"},
      {"`touch PWNED3`", "indexation"},
      {"comparaison", "texte;touch${IFS}PWNED4", "../q.xml"},
      {"comparaison", "$(touch PWNED5)", "../q.bin"},
      {"indexation\n"},
      {"--version\n"},
      {"-C"},
      {""},
  };
  for (const auto& words : bad) {
    const Result r = run(s, words);
    EXPECT_EQ(r.status, 2) << escaped(words[0]);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("usage: ", 0), 0u) << r.err;
    EXPECT_EQ(lineCount(r.err), 1u) << r.err;
  }
  EXPECT_FALSE(s.exists(e2e::kConfig));
  expectNothingRan(s);
}
