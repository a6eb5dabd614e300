// Text side benchmark: generates a corpus of French-like documents (Zipf-
// distributed vocabulary, marks, punctuation, apostrophes), then times
// "indexation" (the legacy bases and the ranked index) against `wc -w` over
// the same files, one "comparaison texte", and "classement texte" of a whole
// new document and of an excerpt of an indexed one.
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
#include "text/describe.h"
#include "text/ranking/describe.h"
#include "text/ranking/digest.h"
#include "text/ranking/previous_index.h"
#include "text/ranking/ranked_file_writer.h"

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

// Words [from, from + count) of the body of a generated document, as they
// stand (punctuation and marks included), one blank between them.
std::string excerpt(const std::string& document, size_t from, size_t count) {
  const size_t body = document.find("<texte>") + 7;
  std::istringstream in(document.substr(body));
  std::string word, out;
  for (size_t i = 0; i < from + count && in >> word; ++i) {
    if (i < from || word == "</texte>") continue;
    if (!out.empty()) out += ' ';
    out += word;
  }
  return out + "\n";
}

// Processor time of every thread of this process, in seconds.
double process_cpu() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The processor time (one thread, best of 3; the reuse's parts: every
// thread) of each part of the text
// indexation's work, in this process, with the indexation's own functions
// over the same documents: what the ranked index adds beside the legacy
// bases.
void show_parts(const std::vector<std::string>& contents, const std::vector<std::string>& names) {
  double legacy = -1, ranked = -1, build = -1, digests = -1, open = -1, taking = -1;
  const auto keep = [](double& best, double t) {
    if (best < 0 || t < best) best = t;
  };
  std::vector<textrank::Description> described(contents.size());
  for (int round = 0; round < 3; ++round) {
    double t = bench::thread_cpu();
    size_t kept = 0;
    for (const std::string& c : contents) kept += text::indexFile(c, 3).words.size();
    keep(legacy, bench::thread_cpu() - t);
    t = bench::thread_cpu();
    textrank::Describer describer;
    for (size_t i = 0; i < contents.size(); ++i) describer.describe(contents[i], described[i]);
    keep(ranked, bench::thread_cpu() - t);
    std::vector<textrank::IndexedDocument> indexed;
    t = bench::thread_cpu();
    for (size_t i = 0; i < contents.size(); ++i)
      indexed.push_back({static_cast<int64_t>(i + 1), names[i], &described[i], textrank::digest_of(contents[i])});
    keep(digests, bench::thread_cpu() - t);
    t = bench::thread_cpu();
    const size_t head = textrank::build_ranked_head(indexed).size();
    keep(build, bench::thread_cpu() - t);
    if (kept == 0 || head == 0) std::printf("  (nothing described)\n");

    // Again from the index just built, as a second indexation does.
    const std::string file = textrank::build_ranked_file(indexed);
    t = process_cpu();
    textrank::PreviousIndex previous = textrank::PreviousIndex::open(file);
    keep(open, process_cpu() - t);
    t = process_cpu();
    previous.invert();
    size_t found = 0;
    textrank::Description taken;
    for (size_t i = 0; i < contents.size(); ++i) {
      const std::optional<uint64_t> k = previous.find(names[i], indexed[i].digest);
      if (k) previous.describe(*k, taken);
      found += k.has_value();
    }
    keep(taking, process_cpu() - t);
    if (found != contents.size()) std::printf("  (only %zu descriptions found again)\n", found);
  }
  std::printf("in this process, one thread, the indexation's functions (best of 3):\n");
  std::printf("  legacy describing (marks, words, counts)   %7.3f s cpu\n", legacy);
  std::printf("  ranked describing (stems, normal words)    %7.3f s cpu (%.2f x the legacy)\n", ranked,
              ranked / legacy);
  std::printf("  ranked index build (all but the words)     %7.3f s cpu\n", build);
  std::printf("  digests of the documents' bytes            %7.3f s cpu\n", digests);
  std::printf("  previous ranked index checked (2 threads)  %7.3f s cpu\n", open);
  std::printf("  inverted (2 threads), descriptions taken   %7.3f s cpu\n", taking);
}

// The first result line of a human classement report ("1. NAME (id N) ...").
std::string first_result(const std::string& report) {
  const size_t at = report.find("\n1. ");
  if (at == std::string::npos) return "(none)";
  return report.substr(at + 1, report.find('\n', at + 1) - at - 1);
}

}  // namespace

using bench::show;

int main(int argc, char** argv) {
  const size_t documents = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;
  const size_t words = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1000;
  if (documents < 1 || words < 400) {
    std::fprintf(stderr, "usage: text_bench [documents>=1] [words_per_document>=400]\n");
    return 2;
  }
  bench::show_load("at the start");

  bench::Store store;
  const std::string corpus = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes/";
  Rng rng{20240611};
  const std::vector<std::string> vocabulary = makeVocabulary(20000, rng);
  std::vector<double> cdf(vocabulary.size());
  double sum = 0;
  for (size_t r = 0; r < cdf.size(); ++r) cdf[r] = (sum += 1.0 / static_cast<double>(r + 1));
  for (double& c : cdf) c /= sum;

  // One document's 100 words, from its 300th, make the excerpt query.
  const size_t source = documents / 2;
  std::string source_name;
  std::vector<std::string> names, contents;
  size_t bytes = 0;
  for (size_t i = 0; i < documents; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "doc%05zu.xml", i + 1);
    const std::string content = makeDocument(i + 1, words, vocabulary, cdf, rng);
    bytes += content.size();
    store.write(corpus + name, content);
    names.push_back(name);
    contents.push_back(content);
    if (i == source) {
      store.write("excerpt.txt", excerpt(content, 300, 100));
      source_name = name;
    }
  }
  store.write("query.xml", makeDocument(0, words, vocabulary, cdf, rng));
  std::printf("corpus: %zu documents of %zu words, %.1f MB, in %s\n", documents, words,
              static_cast<double>(bytes) / 1e6, store.root().c_str());

  const std::string work = store.path("work");
  const std::string engine = bench::engine_binary();
  // wc gets the bare names as arguments, run from the corpus directory, a
  // few thousand names per process.
  const bench::Commands wc = bench::chunked({"wc", "-w"}, names, 2000);
  const bench::Commands indexation = {{engine, "indexation"}};
  show("indexation, first (creates the scratch files)", bench::time_once(indexation, work));
  // wc and the indexation in turns, in the same directory tree: both read
  // the same files from the page cache.
  const std::string baseline = bench::baseline_engine();
  std::vector<bench::Timed> groups = {{wc, store.path(corpus)}, {indexation, work}};
  if (!baseline.empty()) groups.push_back({{{baseline, "indexation"}}, work});
  const bench::Timed restore = {indexation, work};
  const std::vector<bench::Timing> runs = bench::in_turns(5, groups, baseline.empty() ? nullptr : &restore);
  const bench::Timing wc_words = runs[0], again = runs[1];
  show("wc -w over the corpus (best of 5)", wc_words);
  show("indexation, again (best of 5, ranked index included)", again, &wc_words, "wc -w");
  if (!baseline.empty()) {
    show("  the same, engine without the ranked part", runs[2], &wc_words, "wc -w");
    std::printf("  the ranked part adds %.3f s wall, %.3f s cpu\n", again.wall - runs[2].wall,
                again.cpu - runs[2].cpu);
  }

  // One document in 100 changed (others each round, never the excerpt's
  // source): only those are described again.
  bench::Timing changed, changed_wc;
  for (int round = 0; round < 3; ++round) {
    for (size_t i = 37 + static_cast<size_t>(round); i < documents; i += 100) {
      contents[i] = makeDocument(i + 1, words, vocabulary, cdf, rng);
      store.write(corpus + names[i], contents[i]);
    }
    const bench::Timing w = bench::time_once(wc, store.path(corpus));
    const bench::Timing t = bench::time_once(indexation, work);
    if (changed.wall < 0 || t.wall < changed.wall) changed = t;
    if (changed_wc.wall < 0 || w.wall < changed_wc.wall) changed_wc = w;
  }
  show("indexation, one document in 100 changed (best of 3)", changed, &changed_wc, "wc -w");

  const std::string base = "EXTERN_FILES/database/base_texte/";
  const size_t ranked_bytes = bench::file_size(store.path(base + "classement_texte.idx"));
  std::printf("  descriptor base %.1f MB, inverted index %.1f MB, ranked index %.1f MB (%.2f x the corpus)\n",
              static_cast<double>(bench::file_size(store.path(base + "base_descripteur_texte.txt"))) / 1e6,
              static_cast<double>(bench::file_size(store.path(base + "table_index_texte.txt"))) / 1e6,
              static_cast<double>(ranked_bytes) / 1e6, static_cast<double>(ranked_bytes) / static_cast<double>(bytes));

  show_parts(contents, names);
  std::vector<std::string>().swap(contents);

  const std::vector<std::string> compare = {engine, "comparaison", "texte", "../query.xml"};
  std::string out;
  bench::timed_run(compare, work, &out);
  show("comparaison texte, one query (best of 5)", bench::best(5, {compare}, work));
  std::printf("  %zu documents listed\n", static_cast<size_t>(std::count(out.begin(), out.end(), '\n')));

  const std::vector<std::string> whole = {engine, "classement", "texte", "../query.xml"};
  const std::vector<std::string> part = {engine, "classement", "texte", "../excerpt.txt"};
  const bench::Timing rank_whole = bench::best(5, {whole}, work);
  const std::string whole_label = "classement texte, new " + std::to_string(words) + "-word document";
  show(whole_label + " (best of 5)", rank_whole);
  bench::timed_run(whole, work, &out);
  std::printf("  first: %s\n", first_result(out).c_str());
  const bench::Timing rank_part = bench::best(5, {part}, work);
  show("classement texte, 100-word excerpt (best of 5)", rank_part);
  bench::timed_run(part, work, &out);
  std::printf("  source %s; first: %s\n", source_name.c_str(), first_result(out).c_str());

  std::printf("\n");
  bench::target("indexation again / wc -w, wall", wc_words.wall > 0 ? again.wall / wc_words.wall : -1, 1.5, "x");
  bench::target(whole_label + ", wall", rank_whole.wall * 1000, 50, "ms");
  bench::target("classement texte, 100-word excerpt, wall", rank_part.wall * 1000, 50, "ms");
  bench::show_load("at the end");
  return again.wall < 0 || rank_whole.wall < 0 || rank_part.wall < 0 ? 1 : 0;
}
