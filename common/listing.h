// Corpus listing, the same for every medium: the entries that `ls` shows
// (names not starting with "."), sorted as `ls` sorts them (the store's
// collation, ties broken by bytes), keeping regular files (symbolic links
// followed) whose name ends with a given suffix. Entries that cannot be
// stored or read are refused with one line on standard error.
#pragma once

#include <locale.h>

#include <memory>
#include <string>
#include <vector>

#include "common/output.h"
#include "store/store.h"

namespace listing {

struct Options {
  // Only names ending with this suffix are listed ("" keeps every name).
  std::string suffix;
  // Report refused entries on standard error (tests may silence it).
  bool report = true;
};

struct Refusal {
  enum class Why { kSpace, kUnreadable, kNotRegular };
  std::string name;
  Why why = Why::kUnreadable;
  std::string reason;  // as reported
};

struct Result {
  bool directory_opened = false;
  // The directory, opened once, for reading the listed entries.
  std::unique_ptr<store::Directory> directory;
  std::vector<std::string> names;  // accepted bare names, in listing order
  std::vector<Refusal> refused;    // in listing order
};

// Lists the corpus directory `dir`, a layout path ending in "/" (it is also
// how messages show it). A missing or unreadable directory gives an empty
// result with directory_opened false and one line on standard error.
Result list_corpus(const store::Store& store, const std::string& dir, const Options& options,
                   output::Sink& sink);

// Sorts names as `ls` does under `collation` ((locale_t)0: by bytes), ties by bytes.
void sort_like_ls(std::vector<std::string>& names, locale_t collation);

// True when the name holds a white-space byte (it cannot be a base token).
bool has_space(const std::string& name);

}  // namespace listing
