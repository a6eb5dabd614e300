// Integer prefixes of tokens, read the way C's atol/atoi and strtol read them,
// without their undefined behaviour on overflow (values saturate).
#pragma once

#include <cstdint>
#include <string_view>

namespace numbers {

// Leading white space, optional sign, decimal digits; stops at the first other
// byte; no digits gives 0. Saturates at the int64 range.
int64_t leading_long(std::string_view s);

// The same, saturated to the int range, as atoi would read a value that fits.
int leading_int(std::string_view s);

// strtol with base 0: optional sign, then "0x"/"0X" and hexadecimal digits, a
// leading 0 and octal digits, or decimal digits. `consumed` receives the number
// of bytes that belong to the number (0 when there is none, and the result is
// then 0). Saturates at the int64 range.
int64_t parse_base0(std::string_view s, size_t* consumed);

}  // namespace numbers
