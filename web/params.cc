#include "web/params.h"

#include "ranking/options.h"

namespace web {

namespace {

constexpr size_t kMaxText = 4096;
constexpr size_t kMaxResults = 100000;

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

bool ValidMedium(std::string_view medium) { return medium == "texte" || medium == "image" || medium == "son"; }

bool ParseMax(const std::optional<std::string>& text, size_t* max, std::string* error) {
  if (!text) {
    *max = ranking::kDefaultMax;
    return true;
  }
  if (!AllDigits(*text) || text->size() > 6) {
    *error = "max doit être un entier de 0 à 100000";
    return false;
  }
  const size_t value = std::stoul(*text);
  if (value > kMaxResults) {
    *error = "max doit être un entier de 0 à 100000";
    return false;
  }
  *max = value;
  return true;
}

bool ParseItem(std::string_view segment, std::string_view suffix, std::string* id, std::string* error) {
  if (segment.size() < suffix.size() || segment.substr(segment.size() - suffix.size()) != suffix) {
    *error = "identifiant invalide : attendu un nombre suivi de « " + std::string(suffix) + " »";
    if (suffix.empty()) *error = "identifiant invalide : attendu un nombre";
    return false;
  }
  const std::string_view digits = segment.substr(0, segment.size() - suffix.size());
  if (!AllDigits(digits) || digits.size() > 18 || (digits.size() > 1 && digits[0] == '0')) {
    *error = "identifiant invalide : attendu un entier positif sans zéro initial";
    return false;
  }
  *id = std::string(digits);
  return true;
}

bool ParseMot(const std::optional<std::string>& text, std::string* mot, std::string* error) {
  if (!text || text->empty()) {
    *error = "paramètre mot manquant : /api/recherche?mot=MOT";
    return false;
  }
  if (text->size() > kMaxText) {
    *error = "mot trop long (4096 octets au plus)";
    return false;
  }
  *mot = *text;
  return true;
}

bool ParseNom(const std::optional<std::string>& text, std::string* nom, std::string* error) {
  if (!text || text->empty()) {
    *nom = "-";
    return true;
  }
  if (text->size() > kMaxText) {
    *error = "nom trop long (4096 octets au plus)";
    return false;
  }
  *nom = *text;
  return true;
}

}  // namespace web
