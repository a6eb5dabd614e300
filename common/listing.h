// Corpus listing, the same for every medium: the entries that `ls` shows
// (names not starting with "."), sorted as `ls` sorts them (strcoll under the
// environment's LC_COLLATE, ties broken by bytes), keeping regular files
// (symbolic links followed) whose name ends with a given suffix. Entries that
// cannot be stored or read are refused with one line on standard error.
#pragma once

#include <string>
#include <vector>

namespace listing {

struct Options {
  // Only names ending with this suffix are listed ("" keeps every name).
  std::string suffix;
  // Report refused entries on standard error (tests may silence it).
  bool report = true;
};

struct Refusal {
  std::string name;
  std::string reason;
};

struct Result {
  bool directory_opened = false;
  std::vector<std::string> names;     // accepted bare names, in listing order
  std::vector<Refusal> refused;       // in listing order
};

// Lists `dir` (a path ending in "/"). A missing or unreadable directory gives
// an empty result with directory_opened false and one line on standard error.
Result list_corpus(const std::string& dir, const Options& options);

// Sorts names as `ls` does: strcoll under the current LC_COLLATE, ties by bytes.
void sort_like_ls(std::vector<std::string>& names);

// True when the name holds a white-space byte (it cannot be a base token).
bool has_space(const std::string& name);

}  // namespace listing
