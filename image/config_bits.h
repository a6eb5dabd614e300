// The image side's keys of the configuration file: the bits kept by the two
// quantisations.
#pragma once

#include <string>
#include <string_view>

#include "image/image_file.h"

namespace image {

inline constexpr std::string_view kMsgConfigAbsente =
    "Problème avec le fichier de configuration, valeurs par défaut utilisées. \n";
inline constexpr std::string_view kMsgBitsNB =
    "\nParametre de bits Nb incorrecte pour l'indexation image NB ! \n";
inline constexpr std::string_view kMsgBitsRGB =
    "\nParametre de bits Nb incorrecte pour l'indexation image RGB ! \n";

// Scans the configuration text word by word. "NbBit_NB:" takes the next word's
// leading decimal value when it is 1 to 7, "NbBit_RGB:" when it is 1 to 5;
// any other value appends the key's message to `messages` and keeps the count.
// The two keys are tested in this order on each word, so the value word read
// after "NbBit_NB:" is itself then tested as "NbBit_RGB:". A key met several
// times is applied each time; a missing key leaves its count unchanged.
ParamBits init_values(std::string_view config, ParamBits bits, std::string& messages);

// Reads the configuration file at `path` and applies the scan above, printing
// the messages on standard output; when the file cannot be read, prints the
// defaults message and returns `bits` unchanged.
ParamBits init_values_file(const std::string& path, ParamBits bits);

}  // namespace image
