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

using bench::Rng;

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

}  // namespace

using bench::show;

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
  const bench::Timing wc_words = bench::best(3, bench::chunked({"wc", "-w"}, names, 2000),
                                             store.path(corpus));
  show("wc -w over the corpus (best of 3)", wc_words);

  const bench::Commands indexation = {{bench::engine_binary(), "indexation"}};
  show("indexation, first (creates the scratch files)", bench::time_once(indexation, work),
       &wc_words, "wc -w");
  show("indexation, again (best of 3)", bench::best(3, indexation, work), &wc_words, "wc -w");
  std::printf("  descriptor base %.1f MB, inverted index %.1f MB\n",
              static_cast<double>(bench::file_size(store.path(
                  "EXTERN_FILES/database/base_texte/base_descripteur_texte.txt"))) / 1e6,
              static_cast<double>(bench::file_size(store.path(
                  "EXTERN_FILES/database/base_texte/table_index_texte.txt"))) / 1e6);

  const std::vector<std::string> compare = {bench::engine_binary(), "comparaison", "texte", "../query.xml"};
  std::string out;
  bench::timed_run(compare, work, &out);
  show("comparaison texte, one query (best of 5)", bench::best(5, {compare}, work));
  std::printf("  %zu documents listed\n", static_cast<size_t>(std::count(out.begin(), out.end(), '\n')));
  return 0;
}
