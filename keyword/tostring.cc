#include "keyword/tostring.h"

#include <charconv>

namespace keyword {

std::string tostring(int value) {
  char digits[16];  // an int has at most 10 digits and a sign
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return std::string(digits, end);
}

}  // namespace keyword
