// The record formats of the text base: the lines of the text list and of the
// descriptor base as they are written, and the readers of descriptor records
// that the comparison uses. Pure functions over bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/pile_tavren.h"

namespace text {

// "<id> ID </id> <filename> NAME </filename>\n"
std::string registrationLine(size_t id, std::string_view name);

// One descriptor record line for document `id` (-1 for a query):
// "<debut> <id> ID </id> <mots> WORDS  </mots> </fin>\n".
std::string descriptorRecord(int64_t id, std::string_view word_list);

// Pushes one record string per complete record of a descriptor base text, in
// file order (the last record ends on top). A record string is the token after
// "<id>" and a blank, then every token of its "<mots>" ... "</mots>" section
// followed by a blank; it is pushed when "</fin>" is read.
void empilerDescripteurs(std::string_view base, PILE_TAVREN* pile);

// The words of a query descriptor: the first token of each three-token entry
// of its "<mots>" ... "</mots>" sections, in order. Views point into
// `descriptor`.
std::vector<std::string_view> queryWords(std::string_view descriptor);

}  // namespace text
