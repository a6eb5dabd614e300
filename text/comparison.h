// Scoring a query descriptor against the records of the descriptor base.
// Pure functions over the file texts; compare.cc does the file work.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/pile_tavren.h"

namespace text {

// The bare name of a query path: its last non-empty piece between "/"s;
// empty when it has none ("" or "/").
std::string_view bareName(std::string_view path);

// Pushes one record string per complete record of a descriptor base text, in
// file order (the last record ends on top). A record string is the token after
// "<id>" and a blank, then every token of its "<mots>" ... "</mots>" section
// followed by a blank; it is pushed when "</fin>" is read.
void empilerDescripteurs(std::string_view base, PILE_TAVREN* pile);

// The words of a query descriptor: the first token of each three-token entry
// of its "<mots>" ... "</mots>" sections, in order.
std::vector<std::string_view> queryWords(std::string_view descriptor);

struct Score {
  int id = 0;     // the record's identifier
  int shared = 0; // query words found inside the record's words
};

// Scores one record string: a query word counts once when it occurs inside
// one of the record's words (the first token of each entry); identifiers,
// counts and separators never match.
Score scoreRecord(std::string_view record, const std::vector<std::string_view>& query);

// "document d'id ID a N mots en commun sur avec votre fichier\n"
std::string reportLine(const Score& score);

}  // namespace text
