// The one-line reports about a file operation that failed. Messages show
// the store's layout paths ("../EXTERN_FILES/..."), as the user knows them,
// whatever working directory the store is reached through.
#pragma once

#include <string>
#include <string_view>

#include "store/status.h"
#include "store/store.h"

namespace text {

// `path` (a path given to the Env) as the layout names it: relative to the
// store's working directory when it lies under it.
std::string layoutPath(const store::Store& store, std::string_view path);

// `what` + the escaped layout path + " : " + the cause.
std::string problem(std::string_view what, std::string_view layout_path, const store::Status& s);

// The same for the path the status names.
std::string problem(const store::Store& store, std::string_view what, const store::Status& s);

}  // namespace text
