// Decimal text of an integer, shared by the keyword search and wordprobe
// (which links this small library and nothing else of the engine).
#pragma once

#include <string>

namespace keyword {

// Digits of the value, most significant first, no leading zeros; the values
// used are 1 or more (a value below 1 gets its plain C decimal text).
std::string tostring(int value);

}  // namespace keyword
