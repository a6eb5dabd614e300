// "comparaison image PATH": the query image scored against every indexed
// image of its kind.
#pragma once

#include <string>

#include "common/output.h"
#include "store/store.h"

namespace image {

// `path` is the query as the request names it (relative to the working
// directory). Returns 0 when the results (or the line saying there are none)
// were printed, 1 when the query or the base cannot be used.
int searchImage(const store::Store& store, output::Sink& sink, const std::string& path);

}  // namespace image
