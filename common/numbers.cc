#include "common/numbers.h"

#include <climits>

#include "common/tokens.h"

namespace numbers {

namespace {

// Accumulates digits of `base` from s[i]; returns the index after the last.
size_t accumulate(std::string_view s, size_t i, int base, uint64_t& value, bool& overflow) {
  for (; i < s.size(); ++i) {
    const char c = s[i];
    int d;
    if (c >= '0' && c <= '9') {
      d = c - '0';
    } else if (c >= 'a' && c <= 'z') {
      d = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'Z') {
      d = c - 'A' + 10;
    } else {
      break;
    }
    if (d >= base) break;
    if (value > (UINT64_MAX - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) {
      overflow = true;
    } else {
      value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
  }
  return i;
}

int64_t apply_sign(uint64_t value, bool negative, bool overflow) {
  if (negative) {
    if (overflow || value > static_cast<uint64_t>(INT64_MAX) + 1) return INT64_MIN;
    return static_cast<int64_t>(0 - value);
  }
  if (overflow || value > static_cast<uint64_t>(INT64_MAX)) return INT64_MAX;
  return static_cast<int64_t>(value);
}

// Skips leading white space and an optional sign; returns the index of the
// first digit position.
size_t skip_space_and_sign(std::string_view s, bool& negative) {
  size_t i = 0;
  while (i < s.size() && tokens::is_space(static_cast<unsigned char>(s[i]))) ++i;
  negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  return i;
}

}  // namespace

int64_t leading_long(std::string_view s) {
  bool negative;
  const size_t i = skip_space_and_sign(s, negative);
  uint64_t value = 0;
  bool overflow = false;
  accumulate(s, i, 10, value, overflow);
  return apply_sign(value, negative, overflow);
}

int leading_int(std::string_view s) {
  const int64_t v = leading_long(s);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

int64_t parse_base0(std::string_view s, size_t* consumed) {
  bool negative;
  const size_t i = skip_space_and_sign(s, negative);
  uint64_t value = 0;
  bool overflow = false;
  size_t end;
  auto is_hex = [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  };
  if (i + 2 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X') &&
      is_hex(s[i + 2])) {
    end = accumulate(s, i + 2, 16, value, overflow);
  } else if (i < s.size() && s[i] == '0') {
    end = accumulate(s, i, 8, value, overflow);
  } else {
    end = accumulate(s, i, 10, value, overflow);
    if (end == i) {
      if (consumed) *consumed = 0;
      return 0;
    }
  }
  if (consumed) *consumed = end;
  return apply_sign(value, negative, overflow);
}

}  // namespace numbers
