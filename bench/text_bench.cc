// Text side benchmark: generates a corpus of French-like documents (Zipf-
// distributed vocabulary, marks, punctuation, apostrophes), then times
// "indexation" and one "comparaison texte" against `wc -w` over the same files.
//
//   text_bench [documents=10000] [words_per_document=1000]
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_util.h"

namespace {

struct Rng {
  uint64_t state;
  uint64_t next() {  // splitmix64
    uint64_t z = (state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
  }
  double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  size_t below(size_t n) { return static_cast<size_t>(next() % n); }
};

// Function words first (they take the top Zipf ranks), then made-up words of
// one to four syllables, some with accented letters.
std::vector<std::string> makeVocabulary(size_t size, Rng& rng) {
  std::vector<std::string> words = {"de", "la", "le", "et", "les", "des", "en", "un", "une", "du",
                                    "dans", "pour", "que", "qui", "sur", "avec", "pas", "plus", "par",
                                    "elle", "nous", "vous", "sont", "est", "au", "ce", "il", "se"};
  static const char* kSyllables[] = {"ma", "son", "jar", "din", "ré", "té", "pè", "ri", "lo", "gne",
                                     "que", "ver", "sa", "lon", "ti", "mé", "char", "bre", "cou",
                                     "ran", "pi", "ne", "vo", "ya", "gé", "fon", "tai", "mon", "ta",
                                     "ê", "ç", "bou", "lan", "ge", "ri", "cha", "teau", "pro", "me",
                                     "na", "de", "cam", "pa", "fo", "rêt", "ar", "bres", "é", "cole"};
  const size_t syllables = sizeof kSyllables / sizeof kSyllables[0];
  std::set<std::string> seen(words.begin(), words.end());
  while (words.size() < size) {
    std::string w;
    const size_t n = 1 + rng.below(4);
    for (size_t i = 0; i < n; ++i) w += kSyllables[rng.below(syllables)];
    if (seen.insert(w).second) words.push_back(w);
  }
  return words;
}

std::string makeDocument(size_t number, size_t words, const std::vector<std::string>& vocabulary,
                         const std::vector<double>& cdf, Rng& rng) {
  auto pick = [&]() -> const std::string& {
    const size_t r = std::upper_bound(cdf.begin(), cdf.end(), rng.unit()) - cdf.begin();
    return vocabulary[std::min(r, vocabulary.size() - 1)];
  };
  std::string d = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<document numero=\"" +
                  std::to_string(number) + "\">\n<titre>" + pick() + " " + pick() + "</titre>\n<texte>\n";
  for (size_t i = 0; i < words; ++i) {
    const double u = rng.unit();
    if (u < 0.03) d += "l'";
    const std::string& w = pick();
    if (u > 0.99) {
      d += "<em>" + w + "</em>";
    } else {
      d += w;
    }
    const double p = rng.unit();
    if (p < 0.05) {
      d += ",";
    } else if (p < 0.09) {
      d += ".";
    } else if (p < 0.10) {
      d += " ;";
    }
    d += (i % 14 == 13) ? "\n" : " ";
  }
  d += "\n</texte>\n</document>\n";
  return d;
}

// Wall time of a run, and the processor time (user + system) of the
// processes it started: on a shared machine the second says more about the
// work done than the first.
struct Timing {
  double wall = -1;
  double cpu = -1;
};

double childrenCpu() {
  struct rusage u;
  ::getrusage(RUSAGE_CHILDREN, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// One run of each command in turn (wc over the corpus takes several).
Timing timeOnce(const std::vector<std::vector<std::string>>& commands, const std::string& cwd) {
  Timing t{0, 0};
  const double cpu0 = childrenCpu();
  for (const auto& argv : commands) {
    const double w = bench::timed_run(argv, cwd);
    if (w < 0) return {};
    t.wall += w;
  }
  t.cpu = childrenCpu() - cpu0;
  return t;
}

// The best of `repeats` runs (least wall time).
Timing best(int repeats, const std::vector<std::vector<std::string>>& commands, const std::string& cwd) {
  Timing b;
  for (int i = 0; i < repeats; ++i) {
    const Timing t = timeOnce(commands, cwd);
    if (t.wall >= 0 && (b.wall < 0 || t.wall < b.wall)) b = t;
  }
  return b;
}

void show(const std::string& label, const Timing& t, const Timing* reference = nullptr) {
  if (reference != nullptr && reference->wall > 0 && t.wall >= 0) {
    std::printf("%-46s %7.3f s wall (%.2fx wc -w)   %7.3f s cpu (%.2fx wc -w)\n", label.c_str(), t.wall,
                t.wall / reference->wall, t.cpu, t.cpu / reference->cpu);
  } else {
    std::printf("%-46s %7.3f s wall                %7.3f s cpu\n", label.c_str(), t.wall, t.cpu);
  }
  std::fflush(stdout);
}

size_t fileSize(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? static_cast<size_t>(st.st_size) : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const size_t documents = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;
  const size_t words = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1000;

  bench::Store store;
  const std::string corpus = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes/";
  Rng rng{20240611};
  const std::vector<std::string> vocabulary = makeVocabulary(20000, rng);
  std::vector<double> cdf(vocabulary.size());
  double sum = 0;
  for (size_t r = 0; r < cdf.size(); ++r) cdf[r] = (sum += 1.0 / static_cast<double>(r + 1));
  for (double& c : cdf) c /= sum;

  std::vector<std::string> names;
  size_t bytes = 0;
  for (size_t i = 0; i < documents; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "doc%05zu.xml", i + 1);
    const std::string content = makeDocument(i + 1, words, vocabulary, cdf, rng);
    bytes += content.size();
    store.write(corpus + name, content);
    names.push_back(name);
  }
  store.write("query.xml", makeDocument(0, words, vocabulary, cdf, rng));
  std::printf("corpus: %zu documents of %zu words, %.1f MB, in %s\n", documents, words,
              static_cast<double>(bytes) / 1e6, store.root().c_str());

  const std::string work = store.path("work");
  // wc gets the bare names as arguments, run from the corpus directory, a
  // few thousand names per process.
  std::vector<std::vector<std::string>> wc;
  for (size_t start = 0; start < names.size(); start += 2000) {
    wc.push_back({"wc", "-w"});
    for (size_t i = start; i < std::min(names.size(), start + 2000); ++i) wc.back().push_back(names[i]);
  }
  const Timing wc_words = best(3, wc, store.path(corpus));
  show("wc -w over the corpus (best of 3)", wc_words);

  const std::vector<std::vector<std::string>> indexation = {{bench::engine_binary(), "indexation"}};
  show("indexation, first (creates the scratch files)", timeOnce(indexation, work), &wc_words);
  show("indexation, again (best of 3)", best(3, indexation, work), &wc_words);
  std::printf("  descriptor base %.1f MB, inverted index %.1f MB\n",
              static_cast<double>(fileSize(store.path(
                  "EXTERN_FILES/database/base_texte/base_descripteur_texte.txt"))) / 1e6,
              static_cast<double>(fileSize(store.path(
                  "EXTERN_FILES/database/base_texte/table_index_texte.txt"))) / 1e6);

  const std::vector<std::string> compare = {bench::engine_binary(), "comparaison", "texte", "../query.xml"};
  std::string out;
  bench::timed_run(compare, work, &out);
  show("comparaison texte, one query (best of 5)", best(5, {compare}, work));
  std::printf("  %zu documents listed\n", static_cast<size_t>(std::count(out.begin(), out.end(), '\n')));
  return 0;
}
