// End-to-end cases of the sound side: "indexation" builds the sound list and
// descriptor base, "comparaison son PATH" searches a query in them.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/e2e/corpus_gen.h"
#include "tests/e2e/harness.h"

using e2e::Store;

namespace {

const std::string kSounds = e2e::kSounds;
const std::string kList = std::string(e2e::kSoundBase) + "Liste_Base_Son.txt";
const std::string kDescriptors = std::string(e2e::kSoundBase) + "base_descripteur_son.txt";
const std::string kCorpusFromWork = "../" + kSounds;

std::string samples(const std::vector<double>& xs) {
  std::string bytes(xs.size() * 8, '\0');
  std::memcpy(bytes.data(), xs.data(), bytes.size());
  return bytes;
}

std::string repeat(double x, size_t count) { return samples(std::vector<double>(count, x)); }

std::string indexed(const std::string& name) { return "Le fichier " + name + " à été indexé !\n\n"; }

bool ends_with(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

int count_lines_with(const std::string& text, const std::string& what) {
  int n = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (text.substr(start, end - start).find(what) != std::string::npos) ++n;
    start = end + 1;
  }
  return n;
}

std::string row(const std::vector<int>& counts) {
  std::string line = "<fenetre> ";
  for (const int c : counts) line += std::to_string(c) + " ";
  return line + " </fenetre>\n";
}

std::string id_line(int id) { return "<id> " + std::to_string(id) + " </id>\n"; }

std::string list_line(int id, const std::string& name) {
  return "<id> " + std::to_string(id) + " </id><fichier> " + name + " </fichier>\n";
}

// A store whose configuration sets the sound parameters.
void configure(const Store& s, int e, int n) {
  s.write(e2e::kConfig, "<sound>\nechantillons: " + std::to_string(e) + "\nnbintervalles: " +
                            std::to_string(n) + "\n</sound>");
}

}  // namespace

// ---- indexing --------------------------------------------------------------

TEST(SoundIndex, WindowsEmptyAndOddLengthFiles) {
  Store s;
  configure(s, 4, 2);
  s.write(kSounds + "a.bin", repeat(0.5, 10));
  s.write(kSounds + "b.bin", repeat(0.5, 8));
  s.write(kSounds + "c.bin", "");
  s.write(kSounds + "d.bin", repeat(-0.5, 3) + "12345");  // 29 bytes: 3 samples
  s.write(kSounds + "e.bin", "1234567");                  // shorter than one sample
  const auto r = s.engine({"indexation"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(ends_with(r.out, indexed("a.bin") + indexed("b.bin") + indexed("c.bin") +
                                   indexed("d.bin") + indexed("e.bin")))
      << r.out;
  EXPECT_EQ(s.read(kDescriptors),
            "4 2\n" +
                id_line(0) + row({0, 3, 0}) + row({0, 4, 0}) + row({0, 3, 0}) +
                id_line(1) + row({0, 3, 0}) + row({0, 4, 0}) + row({0, 1, 0}) +
                id_line(2) + row({0, 0, 0}) +
                id_line(3) + row({3, 0, 0}) +
                id_line(4) + row({0, 0, 0}));
  EXPECT_EQ(s.read(kList), list_line(0, "a.bin") + list_line(1, "b.bin") + list_line(2, "c.bin") +
                               list_line(3, "d.bin") + list_line(4, "e.bin"));
}

TEST(SoundIndex, SixSampleDescriptorByteForByte) {
  Store s;
  configure(s, 4, 2);
  s.write(kSounds + "six.bin", samples({-0.5, 0.5, 0.25, -0.75, 0.9, -0.1}));
  const auto r = s.engine({"indexation"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(s.read(kDescriptors),
            "4 2\n"
            "<id> 0 </id>\n"
            "<fenetre> 1 2 0  </fenetre>\n"
            "<fenetre> 2 1 0  </fenetre>\n");
  EXPECT_EQ(s.read(kList), "<id> 0 </id><fichier> six.bin </fichier>\n");
}

TEST(SoundIndex, BoundEdgesAndTheSpareColumn) {
  Store s;
  configure(s, 64, 40);
  // 1.0 lies in interval 39 (bound 40 is 1.0000004), 0.0 in interval 19
  // (bound 20 is 2.1606684e-07), -1.0 below bound 0 (-0.99999994): no interval,
  // so counted in column 40 with the other out-of-range samples.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  s.write(kSounds + "edges.bin", samples({1.0, 0.0, -1.0, 0.0, nan, 2.0, -7.0,
                                          -std::numeric_limits<double>::infinity()}));
  ASSERT_EQ(s.engine({"indexation"}).status, 0);
  std::vector<int> counts(41, 0);
  counts[39] = 1;
  counts[19] = 2;
  counts[40] = 5;
  EXPECT_EQ(s.read(kDescriptors), "64 40\n" + id_line(0) + row(counts));
}

TEST(SoundIndex, TwoIndexationsGiveByteIdenticalBases) {
  Store s;
  for (int i = 0; i < 9; ++i)
    s.write(kSounds + "s" + std::to_string(i) + ".bin",
            e2e::generated_sound(static_cast<uint32_t>(i + 1), 3000 + 1111 * i));
  const auto first = s.engine({"indexation"});
  ASSERT_EQ(first.status, 0);
  const std::string descriptors = s.read(kDescriptors), list = s.read(kList);
  EXPECT_EQ(descriptors.rfind("2048 40\n<id> 0 </id>\n<fenetre> ", 0), 0u);
  EXPECT_EQ(count_lines_with(list, "<fichier>"), 9);
  const auto second = s.engine({"indexation"});
  EXPECT_EQ(second.out, first.out);
  EXPECT_EQ(s.read(kDescriptors), descriptors);
  EXPECT_EQ(s.read(kList), list);
}

TEST(SoundIndex, ConfigurationKeysRepeatedMissingOrRefused) {
  struct Case {
    std::string config, header, messages;
  };
  const std::vector<Case> cases = {
      {"nbintervalles: 8", "1024 8\n", ""},
      {"<txt> txt_nboccurrences: 3 </txt>", "1024 40\n", ""},
      {"echantillons: 2048\nnbintervalles: 40\nechantillons: 512", "512 40\n", ""},
      {"<sound> nbintervalles: 12 </sound> <image> echantillons: 16 </image>", "16 12\n", ""},
      {"echantillons: nbintervalles: 7", "1024 7\n",
       "Parametre echantillons: incorrect pour l'indexation son : nbintervalles: ignoré !\n"},
      {"echantillons: 0\nnbintervalles: -4\nechantillons: 256", "256 40\n",
       "Parametre echantillons: incorrect pour l'indexation son : 0 ignoré !\n"
       "Parametre nbintervalles: incorrect pour l'indexation son : -4 ignoré !\n"},
      {"nbintervalles: 9 echantillons:", "1024 9\n",
       "Parametre echantillons: incorrect pour l'indexation son : echantillons: ignoré !\n"},
  };
  for (const auto& c : cases) {
    Store s;
    s.write(e2e::kConfig, c.config);
    s.write(kSounds + "a.bin", repeat(0.25, 5));
    const auto r = s.engine({"indexation"});
    EXPECT_EQ(r.status, 0) << c.config;
    EXPECT_TRUE(ends_with(r.out, c.messages + indexed("a.bin"))) << c.config << "\n" << r.out;
    const std::string base = s.read(kDescriptors);
    EXPECT_EQ(base.substr(0, base.find('\n') + 1), c.header) << c.config;
  }
}

TEST(SoundIndex, UnreadableConfigurationFallsBackToDefaults) {
  Store s;
  s.remove(e2e::kConfig);
  s.write(std::string(e2e::kConfig) + "/inside", "");  // a directory: exists, cannot be read
  s.write(kSounds + "a.bin", repeat(0.25, 5));
  const auto r = s.engine({"indexation"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(ends_with(r.out,
                        "Problème avec le fichier de configuration, valeurs par défaut utilisées. \n" +
                            indexed("a.bin")))
      << r.out;
  EXPECT_EQ(s.read(kDescriptors).substr(0, 8), "1024 40\n");
}

TEST(SoundIndex, ListingOrderAndEmptyCorpus) {
  Store s;
  EXPECT_EQ(s.engine({"indexation"}).status, 0);
  EXPECT_EQ(s.read(kDescriptors), "2048 40\n");
  EXPECT_EQ(s.read(kList), "");

  s.write(kSounds + "b.bin", repeat(0.1, 3));
  s.write(kSounds + "a.bin", repeat(0.1, 3));
  const auto r = s.engine({"indexation"});
  EXPECT_TRUE(ends_with(r.out, indexed("a.bin") + indexed("b.bin"))) << r.out;
  EXPECT_EQ(s.read(kList), "<id> 0 </id><fichier> a.bin </fichier>\n" + list_line(1, "b.bin"));
}

// Mended: the listing took every name holding "any byte, then bin" (so
// cabinet.txt was a sound), registered unreadable entries with a zero row, and
// split names at blanks into phantom sounds.
TEST(SoundIndex, OnlyReadableBinFilesWithoutBlanksAreSounds) {
  Store s;
  configure(s, 4, 2);
  s.write(kSounds + "cabinet.txt", repeat(0.5, 3));
  s.write(kSounds + "binary", repeat(0.5, 3));
  s.write(kSounds + "dir.bin/inside", "");
  s.write(kSounds + "x y.bin", repeat(0.5, 3));
  s.write(kSounds + ".hidden.bin", repeat(0.5, 3));
  ASSERT_EQ(::symlink("nowhere.bin", s.path(kSounds + "gone.bin").c_str()), 0);
  s.write(kSounds + "ok.bin", repeat(0.5, 3));
  const auto r = s.engine({"indexation"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(ends_with(r.out, indexed("ok.bin"))) << r.out;
  EXPECT_EQ(r.out.find("cabinet"), std::string::npos);
  EXPECT_EQ(r.out.find("y.bin"), std::string::npos);
  EXPECT_EQ(s.read(kList), list_line(0, "ok.bin"));
  EXPECT_EQ(s.read(kDescriptors), "4 2\n" + id_line(0) + row({0, 3, 0}));
  EXPECT_EQ(count_lines_with(r.err, "dir.bin"), 1) << r.err;
  EXPECT_EQ(count_lines_with(r.err, "x y.bin"), 1) << r.err;
  EXPECT_EQ(count_lines_with(r.err, "gone.bin"), 1) << r.err;
  EXPECT_EQ(count_lines_with(r.err, "cabinet"), 0) << r.err;
}

TEST(SoundIndex, MissingBaseDirectoryOrCorpus) {
  Store s;
  s.write(kSounds + "a.bin", repeat(0.5, 3));
  s.remove(e2e::kSoundBase);
  auto r = s.engine({"indexation"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(count_lines_with(r.err, "base_son"), 1) << r.err;
  EXPECT_EQ(r.out.find("a.bin"), std::string::npos);
  EXPECT_FALSE(s.exists(e2e::kSoundBase));

  Store t;
  t.remove(kSounds);
  r = t.engine({"indexation"});
  EXPECT_EQ(count_lines_with(r.err, "TEST_SON"), 1) << r.err;
  EXPECT_EQ(t.read(kDescriptors), "2048 40\n");
  EXPECT_EQ(t.read(kList), "");
}

// ---- comparison ----------------------------------------------------------

namespace {

// A store indexed with E = 2048, n = 1: 0.5 falls in interval 0, 5.0 in no
// interval (the spare column 1).
struct Indexed {
  Store store;
  explicit Indexed(const std::vector<std::pair<std::string, std::string>>& sounds) {
    configure(store, 2048, 1);
    for (const auto& [name, bytes] : sounds) store.write(kSounds + name, bytes);
    const auto r = store.engine({"indexation"});
    EXPECT_EQ(r.status, 0) << r.err;
  }
  e2e::Result compare(const std::string& query_bytes) const {
    store.write("q.bin", query_bytes);
    return store.engine({"comparaison", "son", "../q.bin"});
  }
};

const char kRequest[] = "Requête : ../q.bin\n";

std::string found(const std::string& name, const std::string& time) {
  return "Une ressemblance à été trouvée dans " + name + " à l'instant : " + time + "s  \n\n";
}
std::string span(const std::string& name, const std::string& from, const std::string& to) {
  return "Trouvé dans " + name + " postiton :  " + from + "s  " + to + "s\n\n";
}

// Rows of 2047 (row 0) or 2048 samples, each all in interval 0 ('i') or all in
// the spare column ('s').
std::string windows(const std::string& kinds) {
  std::string bytes;
  for (size_t w = 0; w < kinds.size(); ++w)
    bytes += repeat(kinds[w] == 'i' ? 0.5 : 5.0, w == 0 ? 2047 : 2048);
  return bytes;
}

}  // namespace

TEST(SoundCompare, WorkedCase) {
  // E = 1024, n = 1; base rows (0, 1500), (1500, 0), (0, 0) written by hand;
  // a query of 1023 samples in interval 0 scores 0, 1023, 0.
  Store s;
  s.write(kDescriptors, "1024 1\n<id> 0 </id>\n<fenetre> 0 1500  </fenetre>\n"
                        "<fenetre> 1500 0  </fenetre>\n<fenetre> 0 0  </fenetre>\n");
  s.write(kList, list_line(0, "s.bin"));
  s.write("q.bin", repeat(0.5, 1023));
  const auto r = s.engine({"comparaison", "son", "../q.bin"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, std::string(kRequest) +
                       "Une ressemblance à été trouvée dans s.bin à l'instant : 0.064000s  \n\n"
                       "Trouvé dans s.bin postiton :  0.064000s  0.128000s\n\n");
}

TEST(SoundCompare, DetectionNeedsAJumpAboveOneThousandWithinAPair) {
  const Indexed x({{"x.bin", windows("si")}});
  // Scores 0 then 1001: found, at offset 1.
  auto r = x.compare(repeat(0.5, 1001));
  EXPECT_EQ(r.out, kRequest + found("x.bin", "0.128000") + span("x.bin", "0.128000", "0.256000"));
  // Scores 0 then 1000: not found.
  r = x.compare(repeat(0.5, 1000));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kRequest);

  // Scores 0, 0, 2000, 2000: the jump lies between the pairs (0,1) and (2,3).
  const Indexed y({{"y.bin", windows("ssii")}});
  r = y.compare(repeat(0.5, 2000));
  EXPECT_EQ(r.out, kRequest);
}

TEST(SoundCompare, WindowTimesWithE2048) {
  // Scores 0, 0, 0, 1500: the pair (2,3) finds it; offset 3 is 0.384 s.
  const Indexed x({{"x.bin", windows("sssi")}});
  const auto r = x.compare(repeat(0.5, 1500));
  EXPECT_EQ(r.out, kRequest + found("x.bin", "0.384000") + span("x.bin", "0.384000", "0.512000"));
}

TEST(SoundCompare, AQueryAsLongAsTheSoundIsFound) {
  const Indexed x({{"a.bin", windows("ss")}, {"b.bin", windows("sss")}, {"c.bin", windows("s")}});
  // The query has the same two rows as a.bin: only a.bin (q = b) is reported.
  const auto r = x.compare(windows("ss"));
  EXPECT_EQ(r.out, kRequest + found("a.bin", "0.000000") + span("a.bin", "0.000000", "0.256000"));
}

TEST(SoundCompare, ReportsFollowBaseOrderAndNamesComeFromIdentifiers) {
  // "3.bin" sorts first and gets identifier 0; the sound found is identifier 3.
  const Indexed x({{"3.bin", windows("ss")},
                   {"a.bin", windows("ss")},
                   {"b.bin", windows("ss")},
                   {"c.bin", windows("si")},
                   {"d.bin", windows("sssssi")}});
  EXPECT_EQ(x.store.read(kList).substr(0, 40), "<id> 0 </id><fichier> 3.bin </fichier>\n<");
  const auto r = x.compare(repeat(0.5, 2000));
  EXPECT_EQ(r.out, kRequest + found("c.bin", "0.128000") + span("c.bin", "0.128000", "0.256000") +
                       found("d.bin", "0.640000") + span("d.bin", "0.640000", "0.768000"));
}

TEST(SoundCompare, NameMissingFromTheListShowsAsQuestionMark) {
  const Indexed x({{"a.bin", windows("si")}, {"b.bin", windows("si")}});
  x.store.write(kList, list_line(0, "a.bin"));
  auto r = x.compare(repeat(0.5, 2000));
  EXPECT_EQ(r.out, kRequest + found("a.bin", "0.128000") + span("a.bin", "0.128000", "0.256000") +
                       found("?", "0.128000") + span("?", "0.128000", "0.256000"));
  EXPECT_EQ(r.status, 0);

  x.store.remove(kList);
  r = x.compare(repeat(0.5, 2000));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(count_lines_with(r.out, " ? "), 4);
  EXPECT_EQ(count_lines_with(r.err, "Liste_Base_Son.txt"), 1) << r.err;
}

TEST(SoundCompare, ParametersComeFromTheBaseHeader) {
  const Indexed x({{"x.bin", windows("si")}});
  configure(x.store, 4, 9);  // changed after indexing: must not matter
  const auto r = x.compare(repeat(0.5, 1500));
  EXPECT_EQ(r.out, kRequest + found("x.bin", "0.128000") + span("x.bin", "0.128000", "0.256000"));
}

TEST(SoundCompare, RequestsThatCannotBeCarriedOut) {
  Store s;
  s.write("q.bin", repeat(0.5, 10));
  // No base.
  auto r = s.engine({"comparaison", "son", "../q.bin"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, kRequest);
  EXPECT_EQ(count_lines_with(r.err, "base_descripteur_son.txt"), 1) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

  // Base unreadable (a directory); then header values missing, below 1 or
  // beyond the largest interval count.
  s.write(kDescriptors + "/inside", "");
  std::vector<std::string> bases = {"<directory>", "", "0 40\n<id> 0 </id>\n", "1024 0\n",
                                    "1024\n", "x y", "1024 70000\n"};
  for (const std::string& base : bases) {
    if (base != "<directory>") {
      s.remove(kDescriptors);
      s.write(kDescriptors, base);
    }
    r = s.engine({"comparaison", "son", "../q.bin"});
    EXPECT_EQ(r.status, 1) << base;
    EXPECT_EQ(r.out, kRequest) << base;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << base << r.err;
  }

  // Query unreadable (missing, then a directory); the base is fine.
  s.write(kDescriptors, "2048 40\n");
  r = s.engine({"comparaison", "son", "../none.bin"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Requête : ../none.bin\n");
  EXPECT_EQ(count_lines_with(r.err, "../none.bin"), 1) << r.err;
  r = s.engine({"comparaison", "son", "."});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Requête : .\n");
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST(SoundCompare, EmptyAndGarbledBasesAreSafe) {
  Store s;
  s.write("q.bin", repeat(0.5, 3000));
  s.write(kDescriptors, "2048 1\n");
  auto r = s.engine({"comparaison", "son", "../q.bin"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kRequest);
  // Rows longer than n+1, more row ends than rows (the rest of descriptor 0
  // is dropped: its rows are (0, 9) and (0, 0)), a truncated descriptor of one
  // row. The query's two rows match descriptor 0's count only.
  s.write(kDescriptors,
          "2048 1\n<id> 0 </id>\n<fenetre> 0 9 9 9 9 </fenetre> </fenetre> </fenetre> 5\n"
          "<fenetre> 3000 </fenetre>\n<id> 1 </id> <fenetre> 1 2 3 4");
  s.write(kList, list_line(0, "g.bin") + list_line(1, "h.bin"));
  r = s.engine({"comparaison", "son", "../q.bin"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, kRequest + found("g.bin", "0.000000") + span("g.bin", "0.000000", "0.256000"));
}

TEST(SoundCompare, NamesArePrintedLiterally) {
  const Indexed x({{"%s%n%d.bin", windows("si")}});
  const auto r = x.compare(repeat(0.5, 1500));
  EXPECT_EQ(r.out, kRequest + found("%s%n%d.bin", "0.128000") +
                       span("%s%n%d.bin", "0.128000", "0.256000"));
}

// ---- memory ------------------------------------------------------------------

namespace {

// Limits the address space of this process, and so of the programs it
// starts, for as long as it lives.
class AddressSpaceLimit {
 public:
  explicit AddressSpaceLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_AS, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_AS, &limit);
  }
  ~AddressSpaceLimit() { ::setrlimit(RLIMIT_AS, &old_); }

 private:
  rlimit old_{};
};

// Why the engine cannot run under a small address-space limit here, or null.
const char* limitUnusable() {
#if defined(__SANITIZE_ADDRESS__)
  return "AddressSanitizer reserves far more address space than the limit";
#else
  if (std::getenv("E2E_WRAPPER") != nullptr) return "a wrapper (valgrind) needs more address space";
  return nullptr;
#endif
}

constexpr rlim_t kSmallAddressSpace = rlim_t{256} << 20;

}  // namespace

// A 44-byte base announcing 65537 columns and one row: a query of one second
// (16001 rows) would take 4.2 GB as a matrix, and can be found in no sound of
// one row: it is read through, not kept.
TEST(SoundMemory, AShortBaseCannotMakeABigQueryMatrix) {
  if (const char* why = limitUnusable()) GTEST_SKIP() << why;
  Store s;
  s.write(kDescriptors, "1 65536\n<id> 0 </id>\n<fenetre> 1 </fenetre>\n");
  ASSERT_EQ(s.read(kDescriptors).size(), 44u);
  s.write("q.bin", repeat(0.5, 16000));
  e2e::Result r;
  {
    const AddressSpaceLimit limit(kSmallAddressSpace);
    r = s.engine({"comparaison", "son", "../q.bin"});
  }
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "Requête : ../q.bin\n");
}

// Records announcing far more rows than their bytes can hold are refused
// with one line, before any matrix is made.
TEST(SoundMemory, RecordsAnnouncingRowsTheyDoNotHoldAreRefused) {
  Store s;
  std::string base = "4 65536\n<id> 0 </id>\n";
  for (int k = 0; k < 100000; ++k) base += "<fenetre> ";
  s.write(kDescriptors, base);
  s.write("q.bin", repeat(0.5, 3));
  const auto r = s.engine({"comparaison", "son", "../q.bin"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Requête : ../q.bin\n");
  EXPECT_EQ(r.err,
            "engine: base de descripteurs son endommagée : "
            "../EXTERN_FILES/database/base_son/base_descripteur_son.txt : le descripteur 0 "
            "annonce 100000 fenêtres de 65537 valeurs en 1000009 octets\n");
}

// One sample per window and 8192 intervals: a sound of 8000 samples makes a
// base of 131 MB and a matrix of 262 MB, more than the limit. Its rows are
// written as they are made.
TEST(SoundMemory, ABaseLargerThanMemoryIsWrittenAsItIsMade) {
  if (const char* why = limitUnusable()) GTEST_SKIP() << why;
  Store s;
  configure(s, 1, 8192);
  s.write(kSounds + "big.bin", repeat(5.0, 8000));  // every sample in the spare column
  s.write(kSounds + "small.bin", repeat(5.0, 2));
  e2e::Result r;
  {
    const AddressSpaceLimit limit(kSmallAddressSpace);
    r = s.engine({"indexation"});
  }
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(ends_with(r.out, indexed("big.bin") + indexed("small.bin"))) << r.out;
  std::string zeros;
  for (int c = 0; c < 8192; ++c) zeros += "0 ";
  const std::string empty = "<fenetre> " + zeros + "0  </fenetre>\n";
  const std::string spare = "<fenetre> " + zeros + "1  </fenetre>\n";
  std::string expected = "1 8192\n" + id_line(0) + empty;
  for (int k = 0; k < 8000; ++k) expected += spare;
  expected += id_line(1) + empty + spare + spare;
  const std::string written = s.read(kDescriptors);
  EXPECT_EQ(written.size(), expected.size());
  EXPECT_TRUE(written == expected);
  EXPECT_EQ(s.read(kList), list_line(0, "big.bin") + list_line(1, "small.bin"));
}

// ---- inputs that never end or never come -----------------------------------

namespace {

e2e::RunOptions briefly() {
  e2e::RunOptions o;
  o.timeout_seconds = 20;
  return o;
}

}  // namespace

// A query must be a regular file: a device that never ends or a FIFO that no
// one writes to is refused at once, like an unreadable file.
TEST(SoundInputs, EndlessOrBlockingQueriesAreRefused) {
  Store s;
  s.write(kDescriptors, "2048 40\n");
  ASSERT_EQ(::mkfifo(s.path("q.fifo").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("/dev/zero", s.path("zero.bin").c_str()), 0);
  for (const std::string path : {"/dev/zero", "../q.fifo", "../zero.bin"}) {
    const auto r = s.engine({"comparaison", "son", path}, briefly());
    EXPECT_EQ(r.status, 1) << path;
    EXPECT_EQ(r.out, "Requête : " + path + "\n");
    EXPECT_EQ(r.err, "engine: fichier son illisible : " + path + "\n");
  }
}

// In the corpus they are refused with one line each and get no identifier.
TEST(SoundInputs, EndlessOrBlockingCorpusEntriesAreRefused) {
  Store s;
  configure(s, 4, 2);
  s.write(kSounds + "a.bin", repeat(0.5, 3));
  ASSERT_EQ(::mkfifo(s.path(kSounds + "f.bin").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("/dev/zero", s.path(kSounds + "z.bin").c_str()), 0);
  s.write(kSounds + "zz.bin", repeat(0.5, 3));
  const auto r = s.engine({"indexation"}, briefly());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(ends_with(r.out, indexed("a.bin") + indexed("zz.bin"))) << r.out;
  EXPECT_EQ(count_lines_with(r.err, "f.bin"), 1) << r.err;
  EXPECT_EQ(count_lines_with(r.err, "z.bin"), 1) << r.err;
  EXPECT_EQ(s.read(kList), list_line(0, "a.bin") + list_line(1, "zz.bin"));
  EXPECT_EQ(s.read(kDescriptors), "4 2\n" + id_line(0) + row({0, 3, 0}) + id_line(1) + row({0, 3, 0}));
}
