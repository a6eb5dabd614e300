// Every string wordprobe prints, byte for byte.
#pragma once

#include <string_view>

namespace wordprobe::messages {

// Standard output: before each matching line's index, the index's prefix,
// and the last line when the word was never met.
inline constexpr std::string_view kMatch = "************ \n";
inline constexpr std::string_view kLineIndex = "l'id est : ";
inline constexpr std::string_view kNotFound = "mot not found \n";

// Standard error ("wordprobe: " in front): the scratch file could not be
// written (+ its path and the cause).
inline constexpr std::string_view kCannotWrite = "impossible d'écrire ";
// Memory ran out (exit status 1).
inline constexpr std::string_view kOutOfMemory = "mémoire insuffisante : sondage abandonné";

}  // namespace wordprobe::messages
