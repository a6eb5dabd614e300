// Character entities of HTML and XML text.
#pragma once

#include <cstddef>
#include <string_view>

namespace textrank {

// The code point of named entity `name` (the part between "&" and ";", case
// significant): the XML five, every Latin-1 entity of HTML, and the usual
// typographic ones (&oelig; &rsquo; &hellip; &euro; ...). 0 when unknown.
char32_t named_entity(std::string_view name);

// Reads an entity at the start of `s`, which begins with "&": "&name;",
// "&#233;" or "&#xE9;". Returns the number of bytes it takes and stores its
// code point in `c`, or returns 0 when `s` does not start with one. A numeric
// reference to no character (0, a surrogate, past U+10FFFF) reads as U+FFFD.
size_t read_entity(std::string_view s, char32_t& c);

}  // namespace textrank
