#include "ranking/options.h"

#include <charconv>

namespace ranking {

namespace {

bool ParseCount(const std::string& text, size_t* value) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), *value);
  return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& words, Options* options, std::string* error) {
  *options = Options();
  std::vector<std::string> operands;
  bool options_ended = false;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (options_ended || w == "-" || w.empty() || w[0] != '-') {
      operands.push_back(w);
    } else if (w == "--") {
      options_ended = true;
    } else if (w == "--json") {
      options->json = true;
    } else if (w == "--max" || w.rfind("--max=", 0) == 0) {
      std::string value;
      if (w == "--max") {
        if (i + 1 == words.size()) {
          *error = "--max demande un nombre";
          return false;
        }
        value = words[++i];
      } else {
        value = w.substr(6);
      }
      if (!ParseCount(value, &options->max)) {
        *error = "--max demande un nombre entier positif ou nul, pas « " + value + " »";
        return false;
      }
    } else {
      *error = "option inconnue : " + w;
      return false;
    }
  }
  if (operands.size() != 2) {
    *error = operands.empty() ? "média et chemin manquants"
             : operands.size() == 1 ? "chemin de la requête manquant"
                                    : "un seul chemin de requête attendu";
    return false;
  }
  if (operands[0] != "texte" && operands[0] != "image" && operands[0] != "son") {
    *error = "média inconnu : « " + operands[0] + " » (texte, image ou son)";
    return false;
  }
  options->medium = operands[0];
  options->path = operands[1];
  return true;
}

}  // namespace ranking
