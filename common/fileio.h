// Whole-file reading and the one-line diagnostics that name a file.
#pragma once

#include <string>
#include <string_view>

namespace fileio {

// Reads the whole file at `path` into `out`. Returns false when it cannot be
// opened or read (a directory included); `out` is then empty.
bool read_file(const std::string& path, std::string& out);

// True when `path` exists (whatever its kind).
bool exists(const std::string& path);

// Makes a name safe to show on one line: control bytes and DEL become escapes
// (\n, \t, \xNN), a backslash is doubled; every other byte passes unchanged.
std::string printable(std::string_view name);

// Writes "engine: " + message + "\n" on standard error, in one write.
void report(std::string_view message);

}  // namespace fileio
