#include "image/image_dump.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "common/fileio.h"

namespace image {

namespace {

void appendNumber(std::string& out, long long v, int base) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, base);
  out.append(buf, r.ptr);
}

// Every value of each line followed by one blank ("%i " or "%x "), a line feed
// after each line.
template <typename T>
void rowDump(std::string& out, const std::vector<T>& plane, int32_t lines, int32_t columns,
             int base = 10) {
  size_t k = 0;
  for (int32_t i = 0; i < lines; ++i) {
    for (int32_t j = 0; j < columns; ++j, ++k) {
      if (base == 16) {
        // "%x" prints the bits of the int as unsigned.
        appendNumber(out, static_cast<unsigned int>(plane[k]), 16);
      } else {
        appendNumber(out, static_cast<long long>(plane[k]), 10);
      }
      out += ' ';
    }
    out += '\n';
  }
}

void sizeLine(std::string& out, int32_t columns, int32_t lines) {
  out += "nbColonne:";
  appendNumber(out, columns, 10);
  out += ", nbLigne:";
  appendNumber(out, lines, 10);
  out += '\n';
}

void print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace

std::string texteImageNB(const ImgNB& img) {
  std::string out = "\n\nAffichage de la matrice :\n";
  sizeLine(out, img.nbColonne, img.nbLigne);
  rowDump(out, img.matrice, img.nbLigne, img.nbColonne);
  out += "\nFin Affichage matrice";
  return out;
}

std::string texteImageRGB(const ImgRGB& img) {
  std::string out;
  sizeLine(out, img.nbColonne, img.nbLigne);
  out += "\n\nAffichage de la matrice R :\n";
  rowDump(out, img.matriceR, img.nbLigne, img.nbColonne);
  out += "\n\nAffichage de la matrice G :\n";
  rowDump(out, img.matriceG, img.nbLigne, img.nbColonne);
  out += "\n\nAffichage de la matrice B :\n";
  rowDump(out, img.matriceB, img.nbLigne, img.nbColonne);
  out += "\nFin Affichage matrice";
  return out;
}

std::string texteImageRGBEnc(const ImgRGB& img) {
  std::string out;
  sizeLine(out, img.nbColonne, img.nbLigne);
  out += "\n\nAffichage de la matrice R :\n";
  rowDump(out, img.matriceEnc, img.nbLigne, img.nbColonne, 16);
  return out;
}

std::string texteImageRGBBit(const ImgRGB& img) {
  std::string out;
  sizeLine(out, img.nbColonne, img.nbLigne);
  out += "\n\nAffichage de la matrice R, V, B :\n";
  if (img.nbLigne >= 2 && img.nbColonne >= 2) {
    const size_t k = img.index(1, 1);
    for (const auto* plane : {&img.matriceR, &img.matriceG, &img.matriceB}) {
      appendNumber(out, (*plane)[k], 10);
      out += ' ';
    }
  }
  out += "\nFin Affichage matrice";
  return out;
}

std::string texteEcrireImage(const ImgRGB& img) {
  std::string out = "ROUGE\n\n";
  rowDump(out, img.matriceR, img.nbLigne, img.nbColonne);
  out += "Vert\n\n";
  rowDump(out, img.matriceG, img.nbLigne, img.nbColonne);
  out += "bleue\n\n";
  rowDump(out, img.matriceB, img.nbLigne, img.nbColonne);
  out += "Enc\n\n";
  rowDump(out, img.matriceEnc, img.nbLigne, img.nbColonne);
  return out;
}

void afficherImageNB(const ImgNB& img) { print(texteImageNB(img)); }
void afficherImageRGB(const ImgRGB& img) { print(texteImageRGB(img)); }
void afficherImageRGBEnc(const ImgRGB& img) { print(texteImageRGBEnc(img)); }

void afficherImageRGBBit(const ImgRGB& img) {
  if (img.nbLigne < 2 || img.nbColonne < 2)
    fileio::report("image " + fileio::printable(img.nom) +
                   " : moins de 2 lignes ou 2 colonnes, pas de pixel (1, 1) à afficher");
  print(texteImageRGBBit(img));
}

bool ecrireImage(const ImgRGB& img, const std::string& path) {
  const std::string text = texteEcrireImage(img);
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (f) f.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (f) f.close();
  if (!f) {
    fileio::report("impossible d'écrire " + fileio::printable(path) + " : " +
                   std::strerror(errno));
    return false;
  }
  return true;
}

}  // namespace image
