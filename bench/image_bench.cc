// Image side benchmark: generates grey and colour images (gradients, discs,
// noise), then times "indexation" (empty text and sound corpora, so the image
// side dominates) and one "comparaison image" against `wc -w` over the same
// files.
//
//   image_bench [images=1000] [side=128]
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

}  // namespace

int main(int argc, char** argv) {
  const int images = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int side = argc > 2 ? std::atoi(argv[2]) : 128;
  if (images < 2 || side < 2) {
    std::fprintf(stderr, "usage: image_bench [images>=2] [side>=2]\n");
    return 2;
  }

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
    store.write(rel, makeImage(side, colour, rng));
    paths.push_back(store.path(rel));
    bytes += bench::file_size(paths.back());
  }
  const std::string work = store.path("work");
  std::printf("corpus: %d images of %dx%d (half grey, half colour), %.1f MB\n", images, side,
              side, static_cast<double>(bytes) / 1e6);

  const bench::Timing wc = bench::best(3, bench::chunked({"wc", "-w"}, paths, 500), work);
  bench::show("wc -w over the same files (best of 3)", wc);

  const std::string engine = bench::engine_binary();
  const bench::Timing index = bench::best(3, {{engine, "indexation"}}, work);
  bench::show("indexation (best of 3)", index, &wc, "wc -w");

  const std::string query = "../" + rgbDir + "img_00000.txt";
  const bench::Timing search = bench::best(5, {{engine, "comparaison", "image", query}}, work);
  bench::show("comparaison image, colour query (best of 5)", search);
  const std::string greyQuery = "../" + nbDir + "img_00001.txt";
  bench::show("comparaison image, grey query (best of 5)",
              bench::best(5, {{engine, "comparaison", "image", greyQuery}}, work));

  std::string out;
  bench::timed_run({engine, "comparaison", "image", query}, work, &out);
  const size_t lines = static_cast<size_t>(std::count(out.begin(), out.end(), '\n'));
  std::printf("search printed %zu lines; first result: %s\n", lines,
              out.substr(out.find('\n') + 1, out.find('\n', out.find('\n') + 1) - out.find('\n') - 1).c_str());
  return index.wall < 0 || search.wall < 0 ? 1 : 0;
}
