#include "text/ranking/stop_words.h"

#include <algorithm>
#include <string_view>

namespace textrank {

namespace {

// Snowball's French list (articles, pronouns, prepositions, the forms of
// "être" and "avoir"), without accents, sorted by bytes.
constexpr std::string_view kStopWords[] = {
    "a", "ai", "aie", "aient", "aies", "ait", "as", "au", "aura", "aurai", "auraient", "aurais",
    "aurait", "auras", "aurez", "auriez", "aurions", "aurons", "auront", "aux", "avaient",
    "avais", "avait", "avec", "avez", "aviez", "avions", "avons", "ayant", "ayez", "ayons", "c",
    "ce", "ceci", "cela", "ces", "cet", "cette", "d", "dans", "de", "des", "du", "elle", "en",
    "es", "est", "et", "etaient", "etais", "etait", "etant", "etante", "etantes", "etants",
    "ete", "etee", "etees", "etes", "etiez", "etions", "eu", "eue", "eues", "eumes", "eurent",
    "eus", "eusse", "eussent", "eusses", "eussiez", "eussions", "eut", "eutes", "eux", "fumes",
    "furent", "fus", "fusse", "fussent", "fusses", "fussiez", "fussions", "fut", "futes", "ici",
    "il", "ils", "j", "je", "l", "la", "le", "les", "leur", "leurs", "lui", "m", "ma", "mais",
    "me", "meme", "mes", "moi", "mon", "n", "ne", "nos", "notre", "nous", "on", "ont", "ou",
    "par", "pas", "pour", "qu", "que", "quel", "quelle", "quelles", "quels", "qui", "s", "sa",
    "sans", "se", "sera", "serai", "seraient", "serais", "serait", "seras", "serez", "seriez",
    "serions", "serons", "seront", "ses", "soi", "soient", "sois", "soit", "sommes", "son",
    "sont", "soyez", "soyons", "suis", "sur", "t", "ta", "te", "tes", "toi", "ton", "tu", "un",
    "une", "vos", "votre", "vous", "y",
};
static_assert(std::is_sorted(std::begin(kStopWords), std::end(kStopWords)));

}  // namespace

bool is_stop_word(std::string_view folded) {
  return std::binary_search(std::begin(kStopWords), std::end(kStopWords), folded);
}

}  // namespace textrank
