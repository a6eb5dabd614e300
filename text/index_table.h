// The text inverted index, built from the descriptor base text: first the
// temporary table of (identifier, word, count) lines, then one index record
// per word, words being the same when they differ only in ASCII case.
// Pure functions over the base text; the refresh writes the result.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace text {

// One line of the temporary table. The views point into the base text.
struct TableLine {
  std::string_view id;
  std::string_view word;
  std::string_view count;
};

// The temporary table of a descriptor base: the base is read token by token
// with the current identifier (the token after "<id>") and the entries of
// each "<mots>" ... "</mots>" section taken as word, count, separator.
std::vector<TableLine> temporaryTable(std::string_view base);

// The index records of a temporary table: one per word in order of first
// appearance, named by its first form, listing every line of the word (ASCII
// case ignored) in table order: "<mot> W </mot> <key_nb> I K ; I K  </key_nb> ".
std::string generateTableIndexTexte(const std::vector<TableLine>& table);

// The whole inverted index of a descriptor base.
std::string createTableIndexTexte(std::string_view base);

}  // namespace text
