// Every user-facing string of the keyword search, byte for byte. Lines
// written with Sink::report() get "engine: " in front and a line feed after;
// the others are written as they stand.
#pragma once

#include <string_view>

namespace keyword::messages {

// ---- standard output ----

// After each document's name, until the answer is 1 or 0.
inline constexpr std::string_view kPrompt = "pour ouvrir le fichier taper: 1 || pour passer au suivant: 0 \n";
// The word has no record in the inverted index (also after kIndexProblem).
inline constexpr std::string_view kNotFound = "mot non trouvé \n";
// The inverted index cannot be read; the line feed comes before the final
// blank, as the legacy message has it.
inline constexpr std::string_view kIndexProblem = "probleme in opening the file \n ";
// The text list cannot be read: once for each document found.
inline constexpr std::string_view kListProblem = "error in openning file \n";
// A document the text list does not name: kAbsentBefore + ID + kAbsentAfter.
inline constexpr std::string_view kAbsentBefore = "document d'id ";
inline constexpr std::string_view kAbsentAfter = " absent de la liste des textes\n";

// ---- standard error, our own reports (Sink::report) ----

// + the document's path + " : " + the cause.
inline constexpr std::string_view kEditorFailed = "impossible de lancer l'éditeur gedit sur ";

// The editor started on a document.
inline constexpr const char kEditor[] = "gedit";

}  // namespace keyword::messages
