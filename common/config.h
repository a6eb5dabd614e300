// The configuration file "../EXTERN_FILES/configuration.config": its default
// content, its creation when missing, and its reading. Each medium keeps the
// rules of its own keys in its own config.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/output.h"
#include "store/store.h"

namespace config {

// The content written when the file is missing: 13 lines, no line feed
// after the last (131 bytes).
inline constexpr std::string_view kDefault =
    "<txt>\n"
    "txt_nboccurrences: 3\n"
    "</txt>\n"
    "\n"
    "<sound>\n"
    "echantillons: 2048\n"
    "nbintervalles: 40\n"
    "</sound>\n"
    "\n"
    "<image>\n"
    "NbBit_NB: 4\n"
    "NbBit_RGB: 3\n"
    "</image>";

// Printed on standard output by the image and sound readers when the file
// cannot be read; they then keep their defaults.
inline constexpr std::string_view kUnreadable =
    "Problème avec le fichier de configuration, valeurs par défaut utilisées. \n";

// Printed on standard output when the file is created.
inline constexpr std::string_view kCreated =
    "Fichier de config inexistant. Création du fichier avec des valeurs par défaut.\n";

// Creates the file with the default content when no entry stands at its
// path (an existing file, even unreadable, is never touched), and prints
// kCreated. Returns false, after one line on standard error and without
// kCreated, when it was missing and could not be made.
bool Ensure(const store::Store& store, output::Sink& sink);

// The file's text, or nullopt when it cannot be read (missing, unreadable,
// or not a regular file). `why` receives the cause when given.
std::optional<std::string> Read(const store::Store& store, store::Status* why = nullptr);

// The token right after the first token equal to `key`, or nullopt when the
// key is absent or is the last token.
std::optional<std::string_view> ValueAfter(std::string_view text, std::string_view key);

}  // namespace config
