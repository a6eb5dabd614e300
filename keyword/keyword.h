// The keyword search over the text inverted index, and the display of one
// document with the offer to open it in the text editor.
#pragma once

#include <string>

namespace keyword {

// "recherche MOT": shows the documents holding the word, highest count first,
// offering to open each. Returns the request's exit status.
int byword(const std::string& word);

// Orders the n pairs (counts[i], ids[i]) by ascending count with the fixed
// exchange sequence that also fixes the order of equal counts.
void tricroissant(int* counts, int* ids, int n);

// Prints the file name of document `id` from the text list and offers to open
// it in the editor, reading the answer from standard input.
void appelerDesId(int id);

// Decimal text of a value of 1 or more.
std::string tostring(int value);

}  // namespace keyword
