#include "image/base.h"

#include <algorithm>
#include <charconv>
#include <climits>

#include "common/numbers.h"

namespace image {

size_t DescripteurImage::entries() const {
  const size_t announced = nbvaleur > 0 ? static_cast<size_t>(nbvaleur) : 0;
  return std::min({announced, histo.valeurs.size(), histo.occurrences.size()});
}

namespace {

void appendInt(std::string& out, long long v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

// "0x" and `digits` lower-case hexadecimal digits (more when the value needs them).
void appendHex(std::string& out, uint32_t v, int digits) {
  static const char kHex[] = "0123456789abcdef";
  char buf[8];
  int n = 0;
  do {
    buf[n++] = kHex[v & 15];
    v >>= 4;
  } while (v != 0);
  out += "0x";
  for (int k = n; k < digits; ++k) out += '0';
  while (n > 0) out += buf[--n];
}

enum class Etat { kIdle, kId, kType, kColonnes, kLignes, kNbValeur, kPremiereValeur, kCompte, kValeur };

// A value word: strtol base 0, stopping at the first byte that does not belong
// to the number; saturated to the 32-bit range of the record.
int32_t valeur(std::string_view word) {
  const int64_t v = numbers::parse_base0(word, nullptr);
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

Etat etatDuMarqueur(std::string_view word) {
  if (word == "<id>") return Etat::kId;
  if (word == "<type>") return Etat::kType;
  if (word == "<nbcolonne>") return Etat::kColonnes;
  if (word == "<nbligne>") return Etat::kLignes;
  if (word == "<nbvaleur>") return Etat::kNbValeur;
  if (word == "<valeurs>") return Etat::kPremiereValeur;
  return Etat::kIdle;
}

}  // namespace

std::string enteteBase(const ParamBits& bits) {
  std::string out = "NB_BIT_RGB: ";
  appendInt(out, bits.PARAM_BITS_RGB);
  out += "\nNB_BIT_NB: ";
  appendInt(out, bits.PARAM_BITS_NB);
  out += '\n';
  return out;
}

void appendCorps(std::string& out, const DescripteurImage& d) {
  const bool colour = d.type == kKindRGB;
  out += colour ? "<type> RGB </type>\n" : "<type> NB </type>\n";
  out += "<nbcolonne> ";
  appendInt(out, d.nbcolonne);
  out += " </nbcolonne>\n<nbligne> ";
  appendInt(out, d.nbligne);
  out += " </nbligne>\n<nbvaleur> ";
  appendInt(out, d.nbvaleur);
  out += " </nbvaleur>\n<valeurs>\n";
  const size_t n = d.entries();
  for (size_t k = 0; k < n; ++k) {
    appendHex(out, static_cast<uint32_t>(d.histo.valeurs[k]), colour ? 4 : 2);
    out += ": ";
    appendInt(out, d.histo.occurrences[k]);
    out += ";\n";
  }
  out += "</valeurs>\n\n";
}

void appendId(std::string& out, int32_t id) {
  out += "<id> ";
  appendInt(out, id);
  out += " </id>\n";
}

std::string creationDescripteur(const DescripteurImage& d, int32_t id) {
  std::string out;
  appendId(out, id);
  appendCorps(out, d);
  return out;
}

bool lireEnteteBase(tokens::Reader& in, ParamBits& bits) {
  std::string_view words[4];
  for (auto& w : words)
    if (!in.next(w)) return false;
  bits.PARAM_BITS_RGB = numbers::leading_int(words[1]);
  bits.PARAM_BITS_NB = numbers::leading_int(words[3]);
  return bits.PARAM_BITS_RGB >= 1 && bits.PARAM_BITS_RGB <= 5 && bits.PARAM_BITS_NB >= 1 &&
         bits.PARAM_BITS_NB <= 7;
}

DescripteurImage lireDescripteur(tokens::Reader& in, bool& complete) {
  complete = false;
  DescripteurImage d;
  Etat etat = Etat::kIdle;
  std::string_view word;
  while (in.next(word)) {
    switch (etat) {
      case Etat::kId:
        d.id = numbers::leading_int(word);
        etat = Etat::kIdle;
        break;
      case Etat::kType:
        d.type = word == "RGB" ? kKindRGB : kKindNB;
        etat = Etat::kIdle;
        break;
      case Etat::kColonnes:
        d.nbcolonne = numbers::leading_int(word);
        etat = Etat::kIdle;
        break;
      case Etat::kLignes:
        d.nbligne = numbers::leading_int(word);
        etat = Etat::kIdle;
        break;
      case Etat::kNbValeur:
        d.nbvaleur = numbers::leading_int(word);
        etat = Etat::kIdle;
        break;
      case Etat::kPremiereValeur:
        d.histo.valeurs.clear();
        d.histo.occurrences.clear();
        d.histo.valeurs.push_back(valeur(word));
        etat = Etat::kCompte;
        break;
      case Etat::kCompte:
        d.histo.occurrences.push_back(numbers::leading_int(word));
        etat = Etat::kValeur;
        break;
      case Etat::kValeur:
        // The word after the last count is the closing mark: it lands as a
        // spare value that no count completes.
        d.histo.valeurs.push_back(valeur(word));
        etat = Etat::kCompte;
        break;
      case Etat::kIdle:
        break;
    }
    if (word == "</valeurs>") {
      // Only entries with their count are kept: drop the spare value.
      d.histo.valeurs.resize(d.histo.occurrences.size());
      complete = true;
      return d;
    }
    if (etat == Etat::kIdle) etat = etatDuMarqueur(word);
  }
  return DescripteurImage{};
}

}  // namespace image
