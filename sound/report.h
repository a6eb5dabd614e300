// The lines a comparison prints for a sound in which the query was found.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "sound/score.h"

namespace sound {

// The report of a found sound (empty when it was not found): one line per
// offset whose score lies within kJump of the best, then the span of the best
// offset. Times are offsets times `step` (see window_step), printed with
// "%f". `name` is printed as it is.
std::string format_report(const Slide& s, size_t query_rows, std::string_view name, float step);

}  // namespace sound
