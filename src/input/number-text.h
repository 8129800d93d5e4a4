#pragma once
// The texts of numbers and repeat counts as the input files write them, and
// their conversion. Pure functions of a byte range: no locale, no allocation,
// no failure raised here.

#include <cstdint>
#include <optional>
#include <string_view>

#include "host/failure.h"

namespace trovel {

// A real value, or the failure its text must raise.
struct NumberConversion {
  double value = 0.0;
  std::optional<FailureKind> failure;  // InvalidNumber or NumberOverflow
};

// Converts a whole value text to the nearest double, whatever its number of
// digits. The text must be one number: an optional sign; a mantissa of
// digits with at most one "." and at least one digit; an optional exponent,
// either E, e, D or d with an optional sign and digits, or a sign directly
// followed by digits (1.5-3 is 0.0015). A magnitude too large for a double is
// NumberOverflow even when characters are left over after the number; other
// leftovers, or no digit at all, are InvalidNumber. A magnitude too small
// gives a subnormal or a zero that keeps the number's sign.
NumberConversion convertNumber(std::string_view text);

// A repeat count, or the failure its text must raise.
struct RepeatCountConversion {
  std::int32_t count = 0;
  std::optional<FailureKind> failure;
};

// Converts the text before a "*": an optional sign and decimal digits, or a
// base from 2 to 36, "#" and digits of that base (no base means 16). Checks in
// this order: each character from the left (InvalidInteger, RadixMarkTwice,
// InvalidRadix), a missing digit (InvalidInteger), a value outside the 32-bit
// range (IntegerOverflow), zero or an empty text (ZeroRepeatCount).
// `cutShort` says the text is only the start of a longer one: if its
// characters are sound so far, the count is taken as too large, since only
// leading zeros could make so long a count fit.
RepeatCountConversion convertRepeatCount(std::string_view text, bool cutShort = false);

}  // namespace trovel
