#include "web/lists.h"

#include <string>
#include <unordered_set>

#include "common/tokens.h"

namespace web {

namespace {

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// Reads the fields of the registration whose identifier was just read, up to
// (not including) the next "<id>".
ListEntry ReadFields(tokens::Reader reader) {
  ListEntry entry;
  bool named = false;
  std::string_view t;
  while (reader.next(t)) {
    if (t == "<id>") break;
    if (!named && (EndsWith(t, "<filename>") || EndsWith(t, "<fichier>"))) {
      if (!reader.next(t)) break;
      if (t == "<id>") break;
      entry.name = t;
      named = true;
    } else if (t == "<type>" && entry.kind.empty()) {
      if (!reader.next(t)) break;
      if (t == "<id>") break;
      entry.kind = t;
    }
  }
  return entry;
}

}  // namespace

std::optional<ListEntry> FindEntry(std::string_view list, std::string_view id) {
  tokens::Reader reader(list);
  std::string_view t;
  while (reader.next(t)) {
    if (t != "<id>") continue;
    std::string_view token;
    if (!reader.next(token)) break;
    if (token == id) return ReadFields(reader);
  }
  return std::nullopt;
}

size_t CountEntries(std::string_view list) {
  std::unordered_set<std::string_view> ids;
  tokens::Reader reader(list);
  std::string_view t;
  while (reader.next(t)) {
    if (t != "<id>") continue;
    if (!reader.next(t)) break;
    ids.insert(t);
  }
  return ids.size();
}

bool SafeName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

}  // namespace web
