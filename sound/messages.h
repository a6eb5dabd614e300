// Every French text the sound side prints, so that its exact bytes can be
// checked in one place. Lines on standard output are part of what a
// front-end reads; diagnostics go to standard error after "engine: ".
#pragma once

#include <string>
#include <string_view>

namespace sound::messages {

// ---- standard output ------------------------------------------------------

// "Le fichier NAME à été indexé !\n\n", once per sound given an identifier.
inline constexpr std::string_view kIndexedHead = "Le fichier ";
inline constexpr std::string_view kIndexedTail = " à été indexé !\n\n";
// "Le fichier NAME à dejà été indexé !\n", for a name the list already holds.
inline constexpr std::string_view kAlreadyIndexedTail = " à dejà été indexé !\n";

// "Parametre KEY incorrect pour l'indexation son : VALUE ignoré !\n", for a
// configuration value out of range.
inline constexpr std::string_view kBadParameterHead = "Parametre ";
inline constexpr std::string_view kBadParameterMiddle = " incorrect pour l'indexation son : ";
inline constexpr std::string_view kBadParameterTail = " ignoré !\n";

// "Requête : PATH\n", first line of every comparison.
inline constexpr std::string_view kRequestHead = "Requête : ";

// One line per offset scoring near the best:
// "Une ressemblance à été trouvée dans NAME à l'instant : T.TTTTTTs  \n\n".
inline constexpr std::string_view kFoundHead = "Une ressemblance à été trouvée dans ";
inline constexpr std::string_view kFoundMiddle = " à l'instant : ";
inline constexpr std::string_view kFoundTail = "s  \n\n";
// Then the span of the best offset:
// "Trouvé dans NAME postiton :  FROMs  TOs\n\n".
inline constexpr std::string_view kSpanHead = "Trouvé dans ";
inline constexpr std::string_view kSpanMiddle = " postiton :  ";
inline constexpr std::string_view kSpanBetween = "s  ";
inline constexpr std::string_view kSpanTail = "s\n\n";

// The name shown for a descriptor that the sound list does not name.
inline constexpr std::string_view kUnnamed = "?";

// ---- standard error (after "engine: ") -----------------------------------

inline constexpr std::string_view kBaseDirectoryMissing = "répertoire de la base son absent : ";
inline constexpr std::string_view kBaseNotWritten = "base son non écrite : ";
inline constexpr std::string_view kCorpusEntryUnreadable = " : fichier illisible, ignoré";
inline constexpr std::string_view kDescriptorsUnreadable = "base de descripteurs son illisible : ";
inline constexpr std::string_view kBadHeader = "en-tête incorrect dans ";
inline constexpr std::string_view kQueryUnreadable = "fichier son illisible : ";
inline constexpr std::string_view kListUnreadable = "liste des sons illisible : ";
// "base de descripteurs son endommagée : PATH : le descripteur D annonce R
// fenêtres de C valeurs en B octets", for a base that announces far more
// counts than it holds.
inline constexpr std::string_view kDescriptorsDamaged = "base de descripteurs son endommagée : ";
inline std::string descriptor_too_long(size_t d, size_t rows, size_t cols, size_t bytes) {
  return " : le descripteur " + std::to_string(d) + " annonce " + std::to_string(rows) +
         " fenêtres de " + std::to_string(cols) + " valeurs en " + std::to_string(bytes) +
         " octets";
}

}  // namespace sound::messages
