#include "image/descriptor_reader.h"

#include <algorithm>
#include <climits>

#include "common/numbers.h"

namespace image {

namespace {

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
        // The announced count only sizes the first allocation (bounded: a
        // record of this module never holds more than 2^15 values).
        if (d.nbvaleur > 0) {
          const size_t expected = std::min<size_t>(static_cast<size_t>(d.nbvaleur), 1 << 15) + 1;
          d.histo.valeurs.reserve(expected);
          d.histo.occurrences.reserve(expected);
        }
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

bool lireEnteteBase(tokens::Reader& in, ParamBits& bits) {
  std::string_view words[4];
  for (auto& w : words)
    if (!in.next(w)) return false;
  bits.PARAM_BITS_RGB = numbers::leading_int(words[1]);
  bits.PARAM_BITS_NB = numbers::leading_int(words[3]);
  return bits.PARAM_BITS_RGB >= 1 && bits.PARAM_BITS_RGB <= 5 && bits.PARAM_BITS_NB >= 1 &&
         bits.PARAM_BITS_NB <= 7;
}

std::unordered_map<int32_t, std::string> nomsParId(std::string_view liste) {
  std::unordered_map<int32_t, std::string> noms;
  tokens::Reader in(liste);
  std::string_view word;
  bool haveId = false;
  int32_t id = 0;
  while (in.next(word)) {
    if (word == "<id>") {
      haveId = in.next(word);
      if (haveId) id = numbers::leading_int(word);
    } else if (word == "<fichier>" && haveId) {
      if (in.next(word)) noms.emplace(id, std::string(word));
      haveId = false;
    }
  }
  return noms;
}

}  // namespace image
