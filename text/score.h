// Scoring a query's words against the records of the descriptor base, and
// the report of "comparaison texte". Pure functions over bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace text {

struct Score {
  int id = 0;      // the record's identifier
  int shared = 0;  // query words found inside the record's words
};

// Scores one record string (see empilerDescripteurs): a query word counts
// once when it occurs inside one of the record's words (the first token of
// each entry); identifiers, counts and separators never match.
Score scoreRecord(std::string_view record, const std::vector<std::string_view>& query);

// Scores every complete record of a descriptor base text, last record first
// (the order the records come off the stack they are pushed on).
std::vector<Score> scoreBase(std::string_view base, const std::vector<std::string_view>& query);

// "document d'id ID a N mots en commun sur avec votre fichier\n"
std::string reportLine(const Score& score);

// The report lines of the records sharing two words or more, in the order
// given.
std::string report(const std::vector<Score>& scores);

}  // namespace text
