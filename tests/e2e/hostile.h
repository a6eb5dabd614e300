// What the hostile-input suites share: the store's files, the messages they
// check, names a shell would run, and requests run with a time limit.
// Whatever it reads, a request runs nothing, ends with 0, 1 or 2 (never a
// signal, never past the time limit), refuses each item with exactly one
// stderr line (control bytes escaped), and keeps its standard output
// well-formed.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/output.h"
#include "common/paths.h"
#include "image/messages.h"
#include "keyword/messages.h"
#include "sound/messages.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/text_fixtures.h"
#include "text/messages.h"

namespace e2e::hostile {

namespace fs = std::filesystem;

// Corpus directories and base files, store-relative.
inline const std::string kTexts = e2e::kTexts;
inline const std::string kRgb = e2e::kRgb;
inline const std::string kNb = e2e::kNb;
inline const std::string kSounds = e2e::kSounds;
inline const std::string kTextList = inStore(paths::kTextList);
inline const std::string kTextDescriptors = inStore(paths::kTextDescriptors);
inline const std::string kTextIndex = inStore(paths::kTextIndex);
inline const std::string kImageList = inStore(paths::kImageList);
inline const std::string kImageDescriptors = inStore(paths::kImageDescriptors);
inline const std::string kSoundList = inStore(paths::kSoundList);
inline const std::string kSoundDescriptors = inStore(paths::kSoundDescriptors);
inline const std::string kScratchCopies = inStore(paths::kTextScratchCopies);

// Messages, as the modules print them.
inline const std::string kTextClosing(text::messages::kClosing);
inline const std::string kImageClosing(image::kMsgIndexationFinie);
inline const std::string kPrompt(keyword::messages::kPrompt);
inline const std::string kNotFound(keyword::messages::kNotFound);
inline const std::string kOpener(image::kMsgOuvertureFichier);
inline const std::string kShort(image::kMsgPasAssezDeValeurs);
inline const std::string kBad(image::kMsgValeurIncorrecte);

// Every request of these tests must end well within this.
inline constexpr int kSeconds = 60;

// ---- names a shell would run ---------------------------------------------

// Files that a name run by a shell would create in the working directory.
inline const std::set<std::string> kMarkers = {"PWNED1", "PWNED2", "PWNED3", "PWNED4", "PWNED5",
                                               "PWNED6", "PWNED7", "PWNED8", "PWNED9"};

// Name stems without white space: each is a valid corpus name once its
// medium's suffix is added, and must be stored byte for byte.
inline std::vector<std::string> storedStems() {
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
inline std::vector<std::string> refusedStems() {
  return {"a;touch PWNED7;", "$(touch PWNED8)", "new\nline", "`touch PWNED9`\n",
          "tab\there",       "cr\rvt\v",        " "};
}

// Names under `dir` (recursively) that are marker files.
inline std::vector<std::string> markersUnder(const fs::path& dir, bool recursive) {
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
inline void expectNothingRan(const Store& s) {
  EXPECT_EQ(markersUnder(s.root(), true), std::vector<std::string>{});
  EXPECT_EQ(markersUnder(fs::current_path(), false), std::vector<std::string>{});
  EXPECT_EQ(s.list("work"), std::vector<std::string>{});
}

// What the engine prints for a name inside a one-line message (the escaping
// itself is unit-tested beside it).
inline std::string escaped(const std::string& name) { return output::printable(name); }

inline std::vector<std::string> linesOf(const std::string& text) {
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

inline size_t lineCount(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// `err` is exactly `n` refusal lines of our own, each ending with a line feed.
inline void expectOwnLines(const std::string& err, size_t n, const std::string& what) {
  EXPECT_EQ(lineCount(err), n) << what << ": " << err;
  EXPECT_TRUE(err.empty() || err.back() == '\n') << what << ": " << err;
  for (const std::string& line : linesOf(err))
    EXPECT_EQ(line.rfind("engine: ", 0), 0u) << what << ": " << line;
}

inline RunOptions timed() {
  RunOptions o;
  o.timeout_seconds = kSeconds;
  return o;
}

inline Result run(const Store& s, const std::vector<std::string>& words) {
  return s.engine(words, timed());
}

// ---- file contents and outputs ------------------------------------------

using e2e::doc;
using e2e::repeat;
using e2e::textListLine;
using e2e::textRecord;

inline std::string imageListLine(int id, const std::string& name, const char* kind) {
  return "<id> " + std::to_string(id) + " </id> <fichier> " + name + " </fichier> <type> " + kind +
         " </type>\n";
}

inline std::string soundListLine(int id, const std::string& name) {
  return "<id> " + std::to_string(id) + " </id><fichier> " + name + " </fichier>\n";
}

// The descriptor of a one-pixel image whose quantised value is `hex`.
inline std::string onePixelRecord(int id, const char* kind, const std::string& hex) {
  return "<id> " + std::to_string(id) + " </id>\n<type> " + kind +
         " </type>\n<nbcolonne> 1 </nbcolonne>\n<nbligne> 1 </nbligne>\n<nbvaleur> 1 "
         "</nbvaleur>\n<valeurs>\n" +
         hex + ": 1;\n</valeurs>\n\n";
}

inline std::string samples(const std::vector<double>& xs) {
  std::string bytes(xs.size() * 8, '\0');
  std::memcpy(bytes.data(), xs.data(), bytes.size());
  return bytes;
}

inline std::string soundOf(double x, size_t count) { return samples(std::vector<double>(count, x)); }

// A word made of letters only, different for each i.
inline std::string letterWord(size_t i) {
  std::string w = "terme";
  do {
    w += static_cast<char>('a' + i % 26);
    i /= 26;
  } while (i != 0);
  return w;
}

inline std::string junk(uint32_t seed, size_t size) {
  std::mt19937 rng(seed);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(rng() & 0xff);
  return s;
}

// The documents shown by "recherche" (each as "\n" NAME "\n" and the prompt),
// in order; ADD_FAILURE when the output is not made of such blocks.
inline std::vector<std::string> shownNames(const std::string& out) {
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

// The line "comparaison texte" prints for a document sharing `shared` words.
inline std::string comparisonLine(int id, size_t shared) {
  char line[200];
  std::snprintf(line, sizeof line, text::messages::kReportLine, id, static_cast<int>(shared));
  return line;
}

// The first line of "comparaison image" and "comparaison son".
inline std::string requestLine(const std::string& path) {
  return std::string(sound::messages::kRequestHead) + path + "\n";
}

// The line of "indexation" for a sound configuration value out of range.
inline std::string badSoundParameter(const std::string& key, const std::string& value) {
  return std::string(sound::messages::kBadParameterHead) + key + std::string(sound::messages::kBadParameterMiddle) +
         value + std::string(sound::messages::kBadParameterTail);
}

// "Le fichier NAME à été indexé !\n\n".
inline std::string indexedSound(const std::string& name) {
  return std::string(sound::messages::kIndexedHead) + name + std::string(sound::messages::kIndexedTail);
}

}  // namespace e2e::hostile
