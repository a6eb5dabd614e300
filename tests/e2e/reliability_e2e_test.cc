// Crash safety and concurrent requests on one data store.
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/corpus_gen.h"
#include "tests/e2e/harness.h"

using e2e::Result;
using e2e::Store;

namespace {

using Snapshot = std::map<std::string, std::string>;

const char* const kBaseDirs[] = {e2e::kTextBase, e2e::kImageBase, e2e::kSoundBase};

// Every visible file of the three base directories, with its bytes.
Snapshot bases(const Store& s) {
  Snapshot snap;
  for (const char* dir : kBaseDirs)
    for (const auto& name : s.list(dir))
      if (name[0] != '.') snap[std::string(dir) + name] = s.read(std::string(dir) + name);
  return snap;
}

void restore(const Store& s, const Snapshot& snap) {
  for (const char* dir : kBaseDirs)
    for (const auto& name : s.list(dir)) s.remove(std::string(dir) + name);
  for (const auto& [path, content] : snap) s.write(path, content);
}

// The medium a base file belongs to.
std::string medium_of(const std::string& path) {
  for (const char* dir : kBaseDirs)
    if (path.rfind(dir, 0) == 0) return dir;
  return "";
}

const e2e::CorpusSize kSmall{40, 200, 10, 24, 3, 2};
const e2e::CorpusSize kLarge{1500, 400, 120, 64, 12, 6};

}  // namespace

TEST(CrashSafety, KilledIndexationLeavesEachBaseWholeAndTheNextRunRecovers) {
  Store s;
  // The previous complete bases come from a smaller corpus.
  e2e::generate_corpus(s, kSmall, 1);
  ASSERT_EQ(s.engine({"indexation"}).status, 0);
  const Snapshot before = bases(s);

  // The new complete bases, and how long an uninterrupted run takes.
  e2e::generate_corpus(s, kLarge, 2, 1000);
  const auto t0 = std::chrono::steady_clock::now();
  const Result reference = s.engine({"indexation"});
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  ASSERT_EQ(reference.status, 0);
  const Snapshot after = bases(s);
  ASSERT_NE(before, after);

  for (int k = 1; k <= 6; ++k) {
    restore(s, before);
    e2e::RunOptions kill;
    kill.kill_after_ms = static_cast<int>(ms * k / 7);
    s.engine({"indexation"}, kill);
    // Every request first finishes a commit the kill left decided; what it
    // then reads is what any reader sees.
    EXPECT_EQ(s.engine({"recherche", "motabsent"}).err, "");
    const Snapshot now = bases(s);
    // Each medium's files are all from the previous run or all from the new one.
    std::map<std::string, std::string> state;
    for (const auto& [path, content] : now) {
      const bool old_bytes = before.count(path) && before.at(path) == content;
      const bool new_bytes = after.count(path) && after.at(path) == content;
      EXPECT_TRUE(old_bytes || new_bytes) << path << " is half-written after a kill at "
                                          << kill.kill_after_ms << " ms";
      const std::string which = old_bytes && new_bytes ? "" : (old_bytes ? "old" : "new");
      std::string& m = state[medium_of(path)];
      if (!which.empty()) {
        EXPECT_TRUE(m.empty() || m == which) << path << " mixes two runs";
        m = which;
      }
    }
    for (const auto& [path, content] : before) EXPECT_TRUE(now.count(path)) << path << " lost";

    const Result again = s.engine({"indexation"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, reference.out);
    EXPECT_EQ(bases(s), after);
  }
  for (const char* dir : kBaseDirs)
    for (const auto& name : s.list(dir)) EXPECT_EQ(name.find(".new"), std::string::npos) << name;
}

TEST(Concurrency, SimultaneousRequestsEachGiveTheirSoloOutput) {
  Store s;
  e2e::generate_corpus(s, kSmall, 3);
  s.write("query.xml", e2e::generated_text(3 * 7919u + 5, 200));
  s.write("query_rgb.txt", e2e::generated_image(3 * 31u + 4, 24, true));
  s.write("query_nb.txt", e2e::generated_image(3 * 31u + 5, 24, false));
  s.write("query.bin", e2e::generated_sound(3 * 131u + 1, 16000).substr(8 * 4096));

  const std::vector<std::vector<std::string>> requests = {
      {"indexation"},
      {"comparaison", "texte", "../query.xml"},
      {"comparaison", "image", "../query_rgb.txt"},
      {"comparaison", "image", "../query_nb.txt"},
      {"comparaison", "son", "../query.bin"},
      {"indexation"},
      {"comparaison", "texte", "../query.xml"},
  };
  std::vector<Result> solo;
  for (const auto& r : requests) solo.push_back(s.engine(r));
  const Snapshot expected = bases(s);
  for (size_t i = 0; i < requests.size(); ++i) ASSERT_EQ(solo[i].status, 0) << i << solo[i].err;

  for (int round = 0; round < 3; ++round) {
    std::vector<e2e::Running> running;
    for (const auto& r : requests) running.push_back(s.start(e2e::engine_binary(), r));
    for (size_t i = 0; i < running.size(); ++i) {
      const Result r = Store::finish(running[i]);
      EXPECT_EQ(r.status, solo[i].status) << i;
      EXPECT_EQ(r.out, solo[i].out) << i;
      EXPECT_EQ(r.err, solo[i].err) << i;
    }
    EXPECT_EQ(bases(s), expected);
    EXPECT_FALSE(s.exists(std::string(e2e::kTextBase) + "descripteur_temporaire.txt"));
    EXPECT_FALSE(s.exists(std::string(e2e::kImageBase) + "temp"));
  }
}
