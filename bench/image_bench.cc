// Image side benchmark: generates grey and colour images (gradients, discs,
// noise), then times "indexation" (empty text and sound corpora, so the image
// side dominates; the ranked file with its thumbnails included) against `wc
// -w` over the same files, "comparaison image", and "classement image" of
// indexed images and of a brightened, noisy copy of one.
//
//   image_bench [images=1000] [side=128]
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_util.h"

namespace {

using bench::Rng;

// One plane: a gradient in a random direction, a disc of another tone, and
// some noise, so histograms have a realistic spread.
void appendPlane(std::string& out, int side, Rng& rng) {
  const int gx = rng.below(5) - 2, gy = rng.below(5) - 2, base = rng.below(256);
  const int cx = rng.below(side), cy = rng.below(side), r = 1 + rng.below(side / 2);
  const int disc = rng.below(256), noise = 1 + rng.below(24);
  char buf[8];
  for (int i = 0; i < side; ++i) {
    for (int j = 0; j < side; ++j) {
      int v = base + gx * j + gy * i;
      if ((i - cy) * (i - cy) + (j - cx) * (j - cx) < r * r) v = disc;
      v += rng.below(noise) - noise / 2;
      v = std::clamp(v, 0, 255);
      const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
      out.append(buf, end);
      out += j + 1 == side ? '\n' : ' ';
    }
  }
}

std::string makeImage(int side, bool colour, Rng& rng) {
  std::string out = std::to_string(side) + " " + std::to_string(side) + (colour ? " 3\n" : " 1\n");
  for (int p = 0; p < (colour ? 3 : 1); ++p) appendPlane(out, side, rng);
  return out;
}

// A copy of an image file brightened by 15 % with some noise: the ranked
// search's usual edited query (its toned histograms are all scored).
std::string edited(const std::string& image, Rng& rng) {
  std::istringstream in(image);
  int lines = 0, columns = 0, planes = 0;
  in >> lines >> columns >> planes;
  std::string out = std::to_string(lines) + " " + std::to_string(columns) + " " + std::to_string(planes) + "\n";
  char buf[8];
  for (long k = 0, n = static_cast<long>(lines) * columns * planes; k < n; ++k) {
    int v = 0;
    in >> v;
    v = std::clamp(static_cast<int>(v * 1.15) + rng.below(9) - 4, 0, 255);
    out.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    out += (k + 1) % columns == 0 ? '\n' : ' ';
  }
  return out;
}

std::string first_result(const std::string& report) {
  const size_t at = report.find("\n1. ");
  if (at == std::string::npos) return "(none)";
  return report.substr(at + 1, report.find('\n', at + 1) - at - 1);
}

}  // namespace

int main(int argc, char** argv) {
  const int images = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int side = argc > 2 ? std::atoi(argv[2]) : 128;
  if (images < 12 || side < 16) {
    std::fprintf(stderr, "usage: image_bench [images>=12] [side>=16]\n");
    return 2;
  }
  bench::show_load("at the start");

  bench::Store store;
  const std::string rgbDir = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_RGB/";
  const std::string nbDir = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_NB/";
  Rng rng{20261208};
  std::vector<std::string> paths;
  size_t bytes = 0;
  for (int k = 0; k < images; ++k) {
    const bool colour = k % 2 == 0;
    char name[32];
    std::snprintf(name, sizeof name, "img_%05d.txt", k);
    const std::string rel = (colour ? rgbDir : nbDir) + name;
    const std::string content = makeImage(side, colour, rng);
    store.write(rel, content);
    if (k == 10) store.write("edited.txt", edited(content, rng));
    paths.push_back(store.path(rel));
    bytes += content.size();
  }
  const std::string work = store.path("work");
  std::printf("corpus: %d images of %dx%d (half grey, half colour), %.1f MB\n", images, side,
              side, static_cast<double>(bytes) / 1e6);

  const std::string engine = bench::engine_binary();
  bench::time_once({{engine, "indexation"}}, work);  // warms the page cache and builds the bases
  // With a baseline engine, the engine's own run ends each round, so its
  // bases are the ones left in place.
  const std::string baseline = bench::baseline_engine();
  std::vector<bench::Timed> groups = {{bench::chunked({"wc", "-w"}, paths, 500), work},
                                      {{{engine, "indexation"}}, work}};
  if (!baseline.empty()) groups.push_back({{{baseline, "indexation"}}, work});
  const bench::Timed restore = {{{engine, "indexation"}}, work};
  const std::vector<bench::Timing> runs = bench::in_turns(5, groups, baseline.empty() ? nullptr : &restore);
  const bench::Timing& wc = runs[0];
  const bench::Timing& index = runs[1];
  bench::show("wc -w over the same files (best of 5)", wc);
  bench::show("indexation (best of 5, ranked file included)", index, &wc, "wc -w");
  if (!baseline.empty()) {
    bench::show("  the same, engine without the ranked part", runs[2], &wc, "wc -w");
    std::printf("  the ranked part adds %.3f s wall, %.3f s cpu\n", index.wall - runs[2].wall, index.cpu - runs[2].cpu);
  }
  const std::string base = "EXTERN_FILES/database/base_image/";
  std::printf("  descriptor base %.1f MB, ranked file %.1f MB\n",
              static_cast<double>(bench::file_size(store.path(base + "base_descripteur_image.txt"))) / 1e6,
              static_cast<double>(bench::file_size(store.path(base + "classement_image.idx"))) / 1e6);

  const std::string query = "../" + rgbDir + "img_00000.txt";
  const std::string greyQuery = "../" + nbDir + "img_00001.txt";
  const bench::Timing search = bench::best(5, {{engine, "comparaison", "image", query}}, work);
  bench::show("comparaison image, colour query (best of 5)", search);
  bench::show("comparaison image, grey query (best of 5)",
              bench::best(5, {{engine, "comparaison", "image", greyQuery}}, work));
  std::string out;
  bench::timed_run({engine, "comparaison", "image", query}, work, &out);
  const size_t lines = static_cast<size_t>(std::count(out.begin(), out.end(), '\n'));
  std::printf("  search printed %zu lines; first result: %s\n", lines,
              out.substr(out.find('\n') + 1, out.find('\n', out.find('\n') + 1) - out.find('\n') - 1).c_str());

  struct Ranked {
    const char* label;
    std::string path;
    bench::Timing best;
  };
  std::vector<Ranked> ranked = {{"classement image, indexed colour image (best of 5)", query, {}},
                                {"classement image, indexed grey image (best of 5)", greyQuery, {}},
                                {"classement image, edited copy of img_00010 (best of 5)", "../edited.txt", {}}};
  for (Ranked& r : ranked) {
    const std::vector<std::string> argv = {engine, "classement", "image", r.path};
    r.best = bench::best(5, {argv}, work);
    bench::show(r.label, r.best);
    bench::timed_run(argv, work, &out);
    std::printf("  first: %s\n", first_result(out).c_str());
  }

  std::printf("\n");
  bench::target("indexation / wc -w, wall", wc.wall > 0 ? index.wall / wc.wall : -1, 1.0, "x");
  for (const Ranked& r : ranked)
    bench::target(std::string(r.label).substr(0, std::string(r.label).find(" (best")) + ", wall", r.best.wall * 1000,
                  20, "ms");
  bench::show_load("at the end");
  bool failed = index.wall < 0 || search.wall < 0;
  for (const Ranked& r : ranked) failed = failed || r.best.wall < 0;
  return failed ? 1 : 0;
}
