// Checks of the values a request carries in its path and query string.
// Each returns false with the reason, in French, in `error`.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace web {

// "texte", "image" or "son".
bool ValidMedium(std::string_view medium);

// `?max=N`: absent gives 10; 0 asks for every result; at most 100000.
bool ParseMax(const std::optional<std::string>& text, size_t* max, std::string* error);

// An item of a medium as the media routes name it: decimal digits (no sign,
// no leading zero, at most 18 digits) then `suffix` (".png", ".wav" or "").
// `id` receives the digits, as the lists write identifiers.
bool ParseItem(std::string_view segment, std::string_view suffix, std::string* id, std::string* error);

// `?mot=W`: present and not empty; at most 4096 bytes.
bool ParseMot(const std::optional<std::string>& text, std::string* mot, std::string* error);

// `?nom=NAME`, the query file's name shown back: absent gives "-"; at most
// 4096 bytes.
bool ParseNom(const std::optional<std::string>& text, std::string* nom, std::string* error);

}  // namespace web
