#include "image/unrequested.h"

#include <charconv>
#include <memory>
#include <vector>

#include "image/messages.h"

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
  out += kDumpColonnes;
  appendNumber(out, columns, 10);
  out += kDumpLignes;
  appendNumber(out, lines, 10);
  out += '\n';
}

}  // namespace

std::string texteImageNB(const ImgNB& img) {
  std::string out(kDumpMatrice);
  sizeLine(out, img.nbColonne, img.nbLigne);
  rowDump(out, img.matrice, img.nbLigne, img.nbColonne);
  out += kDumpFin;
  return out;
}

std::string texteImageRGB(const ImgRGB& img) {
  std::string out;
  sizeLine(out, img.nbColonne, img.nbLigne);
  out += kDumpMatriceR;
  rowDump(out, img.matriceR, img.nbLigne, img.nbColonne);
  out += kDumpMatriceG;
  rowDump(out, img.matriceG, img.nbLigne, img.nbColonne);
  out += kDumpMatriceB;
  rowDump(out, img.matriceB, img.nbLigne, img.nbColonne);
  out += kDumpFin;
  return out;
}

std::string texteImageRGBEnc(const ImgRGB& img) {
  std::string out;
  sizeLine(out, img.nbColonne, img.nbLigne);
  out += kDumpMatriceR;
  rowDump(out, img.matriceEnc, img.nbLigne, img.nbColonne, 16);
  return out;
}

std::string texteImageRGBBit(const ImgRGB& img) {
  std::string out;
  sizeLine(out, img.nbColonne, img.nbLigne);
  out += kDumpMatriceRVB;
  if (img.nbLigne >= 2 && img.nbColonne >= 2) {
    const size_t k = img.index(1, 1);
    for (const auto* plane : {&img.matriceR, &img.matriceG, &img.matriceB}) {
      appendNumber(out, (*plane)[k], 10);
      out += ' ';
    }
  }
  out += kDumpFin;
  return out;
}

std::string texteEcrireImage(const ImgRGB& img) {
  std::string out(kDumpRouge);
  rowDump(out, img.matriceR, img.nbLigne, img.nbColonne);
  out += kDumpVert;
  rowDump(out, img.matriceG, img.nbLigne, img.nbColonne);
  out += kDumpBleu;
  rowDump(out, img.matriceB, img.nbLigne, img.nbColonne);
  out += kDumpEnc;
  rowDump(out, img.matriceEnc, img.nbLigne, img.nbColonne);
  return out;
}

void afficherImageNB(output::Sink& sink, const ImgNB& img) { sink.out(texteImageNB(img)); }
void afficherImageRGB(output::Sink& sink, const ImgRGB& img) { sink.out(texteImageRGB(img)); }
void afficherImageRGBEnc(output::Sink& sink, const ImgRGB& img) { sink.out(texteImageRGBEnc(img)); }

void afficherImageRGBBit(output::Sink& sink, const ImgRGB& img) {
  if (img.nbLigne < 2 || img.nbColonne < 2) sink.report(rptPasDePixel(output::printable(img.nom)));
  sink.out(texteImageRGBBit(img));
}

bool ecrireImage(const store::Store& store, output::Sink& sink, const ImgRGB& img) {
  std::unique_ptr<store::Directory> dir;
  store::Status s = store.env().OpenDirectory(store.path(""), &dir);
  if (s.ok()) s = dir->WriteFile(kFichierEcrireImage, texteEcrireImage(img));
  if (!s.ok()) {
    sink.report(rptEcritureImpossible(output::printable(s.ToString())));
    return false;
  }
  return true;
}

}  // namespace image
