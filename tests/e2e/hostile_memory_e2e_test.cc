// Data too large for memory: a request that would need more than the
// machine has ends with one line, and leaves every base whole.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/e2e/hostile.h"

using namespace e2e::hostile;
using e2e::Result;
using e2e::Store;

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

TEST(HostileMemory, DescriptorsTooLargeForMemoryEndTheRequestWithOneLine) {
  if (!hugeAllocationsFail()) GTEST_SKIP() << "the kernel overcommits memory without limit";
  if (kSanitizedNew) GTEST_SKIP() << "AddressSanitizer stops at a failed allocation";
  if (std::getenv("E2E_WRAPPER") != nullptr)
    GTEST_SKIP() << "a wrapper's allocator (valgrind's) may stop instead of throwing";
  Store s;
  // One sample per window and 65536 intervals: each query sample makes a row
  // of 65537 counts, so 8 MB of query would take 262 GB. Longer than every
  // indexed sound, it can be found in none: it is read through, not kept.
  s.write(kSoundDescriptors, "1 65536\n<id> 0 </id>\n<fenetre> 1 </fenetre>\n");
  s.write("q.bin", soundOf(0.5, 1 << 20));
  Result r = s.engine({"comparaison", "son", "../q.bin"}, timed());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, requestLine("../q.bin"));

  // Base records announcing a million rows each, read on several threads.
  std::string base = "1 65536\n";
  for (int d = 0; d < 4; ++d) {
    base += "<id> " + std::to_string(d) + " </id>\n";
    for (int k = 0; k < 1000000; ++k) base += "<fenetre> ";
  }
  s.write(kSoundDescriptors, base);
  s.write("q.bin", soundOf(0.5, 1));
  r = s.engine({"comparaison", "son", "../q.bin"}, timed());
  EXPECT_EQ(r.status, 1);
  expectOwnLines(r.err, 1, "huge records");
  EXPECT_EQ(r.out, requestLine("../q.bin"));

  // An indexation configured so: the text and image bases are made, the
  // sound base stays as it was.
  s.write(kSoundDescriptors, "2048 40\n");
  s.write(kSoundList, "");
  s.write(e2e::kConfig, "echantillons: 1\nnbintervalles: 65536");
  for (const char* name : {"a.bin", "b.bin", "c.bin"})
    s.write(kSounds + name, soundOf(0.5, 1 << 20));
  s.write(kTexts + "a.xml", doc(repeat("maison", 3)));
  r = s.engine({"indexation"}, timed());
  EXPECT_EQ(r.status, 1);
  expectOwnLines(r.err, 1, "indexation");
  EXPECT_EQ(r.out, std::string(kTextClosing) + kImageClosing);
  EXPECT_EQ(s.read(kTextDescriptors), textRecord(1, "maison 3 ; "));
  EXPECT_EQ(s.read(kImageDescriptors), "NB_BIT_RGB: 3\nNB_BIT_NB: 4\n");
  EXPECT_EQ(s.read(kSoundDescriptors), "2048 40\n");
  EXPECT_EQ(s.read(kSoundList), "");
}
