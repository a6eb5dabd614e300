// A small corpus for the ranked search, end to end: French texts in UTF-8
// and in ISO-8859-1, grey and colour images of distinct layouts, and short
// melodies; with the edits that make queries of them (excerpts with typos,
// copies with a patch painted over, cuts of a sound).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace e2e::classement {

// ---- texts ----------------------------------------------------------------

struct Text {
  std::string name;  // UTF-8; stored in ISO-8859-1 when `latin1` is set
  bool latin1;
  std::string body;  // UTF-8
};

inline std::vector<Text> texts() {
  return {
      {"phare.xml", false,
       "<article><titre>Le phare</titre><p>Au bout de la jetée, le vieux phare veille sur le port depuis "
       "deux siècles. Chaque soir, le gardien monte les cent douze marches de l'escalier en colimaçon pour "
       "allumer la grande lampe. Les marins qui rentrent de la pêche aperçoivent sa lumière bien avant de "
       "distinguer les maisons blanches du village. Quand la tempête souffle, les vagues frappent la tour de "
       "pierre et l'écume monte jusqu'aux fenêtres de la lanterne.</p></article>\n"},
      {"boulangerie.xml", true,
       "<article><titre>La boulangerie</titre><p>La boulangerie de la place ouvre ses volets à six heures. "
       "Dès l'aube, le boulanger sort du four les baguettes dorées, les croissants feuilletés et les pains de "
       "campagne à la croûte épaisse. Les écoliers s'arrêtent devant la vitrine pour choisir une "
       "chocolatine, tandis que les anciens discutent du temps qu'il fera en attendant leur tour. À midi, il "
       "ne reste souvent plus une seule miche sur les étagères.</p></article>\n"},
      {"café.xml", true,
       "<p>Le café de la gare accueille les voyageurs pressés et les habitués du quartier. Derrière le "
       "comptoir en zinc, la patronne prépare des expressos serrés et des crèmes mousseux. Sur les tables "
       "rondes, on trouve des journaux froissés, des tasses vides et des sucriers en métal. Le soir, les "
       "cheminots viennent y jouer aux cartes jusqu'au dernier train.</p>\n"},
      {"verger.xml", false,
       "<p>Le verger de mon grand-père comptait une trentaine de pommiers et quelques poiriers. En "
       "septembre, toute la famille venait cueillir les fruits mûrs et remplir des cagettes en bois. Les "
       "pommes tombées servaient à faire du cidre dans le vieux pressoir de la grange. L'hiver, les branches "
       "nues dessinaient des ombres étranges sur la neige du pré.</p>\n"},
      {"orage.xml", true,
       "<p>L'orage a éclaté en fin d'après-midi, après une journée lourde et étouffante. Des éclairs ont "
       "zébré le ciel au-dessus des collines, et la pluie s'est mise à tomber si fort que les rues sont "
       "devenues des torrents. Les enfants, réfugiés sous le porche de l'église, comptaient les secondes "
       "entre l'éclair et le tonnerre pour savoir si l'orage s'éloignait.</p>\n"},
  };
}

// For each text, the stretch a query is cut from (from `first` to the end
// of `last`), and two typos made in it: a letter swapped with its
// neighbour, a letter dropped.
struct Excerpt {
  std::string first, last;
  std::string typo1_from, typo1_to, typo2_from, typo2_to;
};

inline std::vector<Excerpt> excerpts() {
  return {
      {"Chaque soir", "du village.", "marches", "marhces", "lumière", "lumère"},
      {"Dès l'aube", "une chocolatine", "croissants", "croisants", "vitrine", "vitirne"},
      {"Derrière le comptoir", "en métal.", "patronne", "patrnone", "journaux", "jornaux"},
      {"En septembre", "de la grange.", "cueillir", "cueilir", "pressoir", "presosir"},
      {"Des éclairs", "des torrents.", "collines", "colilnes", "tomber", "tombr"},
  };
}

// UTF-8 text of code points below U+0100 as ISO-8859-1 bytes.
inline std::string latin1(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if ((c == 0xc2 || c == 0xc3) && i + 1 < utf8.size()) {
      out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3f));
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// Small letters: ASCII and the accented capitals of these texts.
inline std::string lowered(std::string s) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] >= 'A' && s[i] <= 'Z') s[i] = static_cast<char>(s[i] - 'A' + 'a');
    // U+00C0..U+00DE are C3 80..C3 9E; their small letters are C3 A0..C3 BE.
    if (static_cast<unsigned char>(s[i]) == 0xc3 && i + 1 < s.size() &&
        static_cast<unsigned char>(s[i + 1]) >= 0x80 && static_cast<unsigned char>(s[i + 1]) <= 0x9e)
      s[i + 1] = static_cast<char>(s[i + 1] + 0x20);
  }
  return s;
}

inline std::string replaced(std::string s, const std::string& from, const std::string& to) {
  const size_t at = s.find(from);
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

// The query cut from `text` as `e` says, in small letters with its typos
// (UTF-8).
inline std::string excerptOf(const Text& text, const Excerpt& e) {
  const size_t from = text.body.find(e.first);
  const size_t to = text.body.find(e.last, from) + e.last.size();
  std::string q = lowered(text.body.substr(from, to - from));
  q = replaced(q, e.typo1_from, e.typo1_to);
  return replaced(q, e.typo2_from, e.typo2_to);
}

inline const char kUnrelatedText[] =
    "Le match de football a été reporté à cause du terrain gelé. L'entraîneur a annoncé que l'équipe jouera "
    "mardi prochain contre le club voisin, et les supporters devront garder leurs billets jusqu'à la "
    "nouvelle date fixée par la fédération.\n";

// ---- images ---------------------------------------------------------------

using Plane = std::vector<std::vector<int>>;
using Pattern = std::function<int(int y, int x)>;

inline int clamp255(double v) { return v < 0 ? 0 : v > 255 ? 255 : static_cast<int>(std::lround(v)); }

inline Plane planeOf(int height, int width, const Pattern& f) {
  Plane p(static_cast<size_t>(height), std::vector<int>(static_cast<size_t>(width)));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p[y][x] = f(y, x);
  return p;
}

// The file of an image: "lines columns planes", then each plane's values.
inline std::string imageFile(const std::vector<Plane>& planes) {
  std::string s = std::to_string(planes[0].size()) + " " + std::to_string(planes[0][0].size()) + " " +
                  std::to_string(planes.size()) + "\n";
  for (const Plane& p : planes)
    for (const auto& row : p) {
      for (size_t x = 0; x < row.size(); ++x) s += std::to_string(row[x]) + (x + 1 == row.size() ? "\n" : " ");
    }
  return s;
}

// A square of side `side` at (top, left) painted `value` in every plane.
inline std::vector<Plane> patched(std::vector<Plane> planes, int top, int left, int side,
                                  const std::vector<int>& values) {
  for (size_t c = 0; c < planes.size(); ++c)
    for (int y = top; y < top + side; ++y)
      for (int x = left; x < left + side; ++x) planes[c][y][x] = values[c % values.size()];
  return planes;
}

struct Image {
  std::string name;
  std::vector<Plane> planes;
};

// Twelve grey images, a few of each layout.
inline std::vector<Image> greyImages() {
  const int n = 40;
  std::vector<Image> out;
  for (int period : {3, 5})
    out.push_back({"anneaux" + std::to_string(period) + ".txt",
                   {planeOf(n, n, [=](int y, int x) {
                     return clamp255(128 + 100 * std::cos(std::hypot(y - 19.5, x - 19.5) / period));
                   })}});
  for (int period : {6, 10, 16})
    out.push_back({"rayures" + std::to_string(period) + ".txt",
                   {planeOf(n, n, [=](int, int x) { return clamp255(128 + 90 * std::sin(6.2832 * x / period)); })}});
  for (int cell : {4, 8, 12})
    out.push_back({"damier" + std::to_string(cell) + ".txt",
                   {planeOf(n, n, [=](int y, int x) { return ((y / cell + x / cell) % 2) ? 210 : 40; })}});
  out.push_back({"degrade_diagonal.txt", {planeOf(n, n, [=](int y, int x) { return (x + y) * 255 / (2 * n - 2); })}});
  out.push_back({"degrade_vertical.txt", {planeOf(n, n, [=](int y, int) { return y * 255 / (n - 1); })}});
  for (int radius : {8, 14})
    out.push_back({"disque" + std::to_string(radius) + ".txt",
                   {planeOf(n, n, [=](int y, int x) { return std::hypot(y - 20, x - 20) <= radius ? 230 : 25; })}});
  return out;
}

inline std::vector<Image> colourImages() {
  const int n = 40;
  auto disc = [](int y, int x) { return std::hypot(y - 18, x - 22) <= 11; };
  std::vector<Image> out;
  out.push_back({"balle_rouge.txt",
                 {planeOf(n, n, [=](int y, int x) { return disc(y, x) ? 220 : 70 - y; }),
                  planeOf(n, n, [=](int y, int x) { return disc(y, x) ? 30 : 160 - y; }),
                  planeOf(n, n, [=](int y, int x) { return disc(y, x) ? 35 : 50; })}});
  out.push_back({"couchant.txt",
                 {planeOf(n, n, [=](int y, int) { return 250 - 3 * y; }),
                  planeOf(n, n, [=](int y, int) { return 150 - 3 * y; }),
                  planeOf(n, n, [=](int y, int) { return 60 + 4 * y; })}});
  out.push_back({"mosaique.txt",
                 {planeOf(n, n, [=](int y, int x) { return ((y / 8) * 3 + x / 8) % 3 == 0 ? 200 : 40; }),
                  planeOf(n, n, [=](int y, int x) { return ((y / 8) * 3 + x / 8) % 3 == 1 ? 200 : 60; }),
                  planeOf(n, n, [=](int y, int x) { return ((y / 8) * 3 + x / 8) % 3 == 2 ? 220 : 30; })}});
  out.push_back({"bandes.txt",
                 {planeOf(n, n, [=](int, int x) { return x % 10 < 5 ? 240 : 20; }),
                  planeOf(n, n, [=](int, int x) { return x % 10 < 5 ? 200 : 90; }),
                  planeOf(n, n, [=](int, int) { return 128; })}});
  return out;
}

// ---- sounds ---------------------------------------------------------------

inline constexpr int kRate = 16000;

inline std::string soundFile(const std::vector<double>& xs) {
  std::string bytes(xs.size() * 8, '\0');
  std::memcpy(bytes.data(), xs.data(), bytes.size());
  return bytes;
}

// A melody: notes of 80 to 250 ms at pitches between 150 Hz and 3 kHz, each
// with two harmonics, over faint noise.
inline std::vector<double> melody(uint32_t seed, double seconds) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> length(0.08, 0.25), octave(0, std::log2(3000.0 / 150.0));
  std::normal_distribution<double> noise(0, 0.005);
  const size_t n = static_cast<size_t>(seconds * kRate);
  std::vector<double> out(n);
  size_t at = 0;
  while (at < n) {
    const size_t len = static_cast<size_t>(length(rng) * kRate);
    const double f = 150 * std::exp2(octave(rng));
    for (size_t k = 0; k < len && at + k < n; ++k) {
      const double t = static_cast<double>(k) / kRate;
      const double env = std::min(1.0, t / 0.01) * std::exp(-3 * t);
      out[at + k] = 0.4 * env * (std::sin(2 * M_PI * f * t) + 0.4 * std::sin(4 * M_PI * f * t) +
                                 0.2 * std::sin(6 * M_PI * f * t));
    }
    at += len;
  }
  for (double& x : out) x = std::clamp(x + noise(rng), -0.99, 0.99);
  return out;
}

inline std::vector<double> cut(const std::vector<double>& xs, double from_s, double seconds) {
  const auto from = static_cast<ptrdiff_t>(from_s * kRate);
  const auto to = std::min(xs.size(), static_cast<size_t>(from) + static_cast<size_t>(seconds * kRate));
  return std::vector<double>(xs.begin() + from, xs.begin() + static_cast<ptrdiff_t>(to));
}

}  // namespace e2e::classement
