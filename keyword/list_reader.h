// File names of the documents of the text list, over the list's bytes.
#pragma once

#include <string_view>
#include <unordered_map>

namespace keyword {

// Identifier text -> file name, for every registration in the list. A
// registration is the token "<id>", the identifier, and the file name as the
// third token after the identifier ("</id>" and "<filename>" stand between).
// Only a token right after "<id>" counts as an identifier, so a file name made
// of digits is never taken for another document's identifier. The first
// registration of an identifier wins. Views point into `list`.
using TextList = std::unordered_map<std::string_view, std::string_view>;
TextList read_text_list(std::string_view list);

}  // namespace keyword
