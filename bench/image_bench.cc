// Image side benchmark: generates grey and colour images (gradients, discs,
// noise), then times "indexation" (empty text and sound corpora, so the image
// side dominates) and one "comparaison image" against `wc -w` over the same
// files.
//
//   image_bench [images=1000] [side=128]
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
  int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
};

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

double wcSeconds(const std::vector<std::string>& paths, const std::string& cwd) {
  double total = 0;
  const size_t chunk = 500;
  for (size_t start = 0; start < paths.size(); start += chunk) {
    std::vector<std::string> argv = {"wc", "-w"};
    for (size_t i = start; i < std::min(paths.size(), start + chunk); ++i) argv.push_back(paths[i]);
    const double t = bench::timed_run(argv, cwd);
    if (t < 0) return -1;
    total += t;
  }
  return total;
}

double bestWc(int repeats, const std::vector<std::string>& paths, const std::string& cwd) {
  double best = -1;
  for (int i = 0; i < repeats; ++i) {
    const double t = wcSeconds(paths, cwd);
    if (t >= 0 && (best < 0 || t < best)) best = t;
  }
  return best;
}

size_t fileSize(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? static_cast<size_t>(st.st_size) : 0;
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
    bytes += fileSize(paths.back());
  }
  const std::string work = store.path("work");
  std::printf("corpus: %d images of %dx%d (half grey, half colour), %.1f MB\n", images, side,
              side, static_cast<double>(bytes) / 1e6);

  const double wc = bestWc(3, paths, work);
  bench::report("wc -w over the same files (best of 3)", wc);

  const std::string engine = bench::engine_binary();
  const double index = bench::best_of(3, {engine, "indexation"}, work);
  bench::report("indexation (best of 3)", index, wc, "wc -w");

  const std::string query = "../" + rgbDir + "img_00000.txt";
  const double search = bench::best_of(5, {engine, "comparaison", "image", query}, work);
  bench::report("comparaison image, colour query (best of 5)", search, wc, "wc -w");
  const std::string greyQuery = "../" + nbDir + "img_00001.txt";
  const double greySearch = bench::best_of(5, {engine, "comparaison", "image", greyQuery}, work);
  bench::report("comparaison image, grey query (best of 5)", greySearch, wc, "wc -w");

  std::string out;
  bench::timed_run({engine, "comparaison", "image", query}, work, &out);
  const size_t lines = static_cast<size_t>(std::count(out.begin(), out.end(), '\n'));
  std::printf("search printed %zu lines; first result: %s\n", lines,
              out.substr(out.find('\n') + 1, out.find('\n', out.find('\n') + 1) - out.find('\n') - 1).c_str());
  return index < 0 || search < 0 ? 1 : 0;
}
