// The lists of the three bases, as the web server reads them: which file an
// identifier names, and how many items a list holds. Pure functions over the
// list's bytes.
//
// Every list registers an item as the token "<id>", its identifier, then its
// file name as the token after the first mark ending in "<filename>" or
// "<fichier>" (the sound list joins it to "</id>"); the image list adds the
// kind as the token after "<type>". A registration ends at the next "<id>".
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace web {

struct ListEntry {
  std::string_view name;  // empty when the registration names no file
  std::string_view kind;  // image list: "RGB" or "NB" as written; else empty
};

// The first registration whose identifier token is exactly `id` (decimal
// text), or nullopt. Views point into `list`.
std::optional<ListEntry> FindEntry(std::string_view list, std::string_view id);

// The number of distinct identifiers registered.
size_t CountEntries(std::string_view list);

// Whether a name read from a list may be joined to a corpus directory: one
// path component, not "." or "..", no NUL byte.
bool SafeName(std::string_view name);

}  // namespace web
