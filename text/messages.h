// Every user-facing string of the text side, byte for byte. Lines written
// with Sink::report() get "engine: " in front and a line feed after; the
// others are written as they stand.
#pragma once

#include <string_view>

namespace text::messages {

// ---- standard output ----

// "indexation", once the text list, descriptor base and inverted index are
// in place (never when they could not be written).
inline constexpr std::string_view kClosing = "tous les documents xml ont bien été indexés !\n";

// One result line of "comparaison texte": identifier, then shared words.
inline constexpr const char kReportLine[] = "document d'id %d a %d mots en commun sur avec votre fichier\n";

// ---- standard error, legacy lines ----

// The descriptor base cannot be read; written once for each of the two
// passes over it (counting, then scoring).
inline constexpr std::string_view kBaseProblem = "ERREUR :  PB avec fonction empiler descripteurs\n";
// The query's temporary descriptor cannot be written.
inline constexpr std::string_view kQueryWriteProblem = "ERREUR :  PB avec fonction searchOccurencesAndInsertBD2\n";
// The configuration file cannot be read: once for each document described.
inline constexpr std::string_view kConfigProblem = "ERREUR :  PB avec fonction recupParamConfigTexte\n";

// ---- standard error, our own reports (Sink::report) ----

inline constexpr std::string_view kNoBaseDirectory = "répertoire de la base de textes introuvable : ";
inline constexpr std::string_view kBaseNotWritten = "base de textes non écrite : ";
// After kQueryWriteProblem: + the descriptor's path + " : " + the cause.
inline constexpr std::string_view kQueryDescriptorNotWritten = "descripteur temporaire non écrit : ";
inline constexpr std::string_view kCannotRemove = "impossible de supprimer ";
inline constexpr std::string_view kQueryWithoutName = "chemin de requête sans nom de fichier : \"";
inline constexpr std::string_view kQueryUnreadable = "fichier de requête illisible : ";
// A corpus document listed but not read after all: its path + " : " + one
// of these (the corpus listing's own words for its refusals).
inline constexpr std::string_view kDocumentUnreadable = "fichier illisible, ignoré";
inline constexpr std::string_view kDocumentNotRegular = "pas un fichier ordinaire, ignoré";

// The scratch space.
inline constexpr std::string_view kCannotCreate = "impossible de créer ";
inline constexpr std::string_view kCannotCreateDirectory = "impossible de créer le répertoire ";
inline constexpr std::string_view kCannotWrite = "impossible d'écrire ";
inline constexpr std::string_view kUnusableScratchName = "nom inutilisable dans l'espace de travail : ";

}  // namespace text::messages
