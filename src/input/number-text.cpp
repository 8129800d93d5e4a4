#include "input/number-text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <system_error>

namespace trovel {
namespace {

using enum FailureKind;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isSign(char c) {
  return c == '+' || c == '-';
}
bool isExponentLetter(char c) {
  return c == 'E' || c == 'e' || c == 'D' || c == 'd';
}

// An exponent this large decides the result on its own; holding it there
// keeps the sums below far from the limits of a 64-bit integer.
constexpr std::int64_t kExponentCeiling = 1'000'000'000'000;

// With the value written as 0.d1d2... times 10^order (d1 not 0), an order
// above this is certainly beyond the largest double (about 1.8 times 10^308),
// and one below the other certainly under half the smallest subnormal
// (about 2.5 times 10^-324). Between them the standard conversion decides.
constexpr std::int64_t kOrderCertainlyInfinite = 310;
constexpr std::int64_t kOrderCertainlyZero = -325;

// The longest number at the start of a text.
struct NumberShape {
  bool negative = false;
  std::string_view mantissa;  // its digits and at most one point
  std::size_t digits = 0;     // digits of the mantissa
  std::int64_t exponent = 0;  // held at kExponentCeiling in magnitude
  std::size_t end = 0;        // length of the number in the text
};

// Digits from text[i] on, as an exponent; returns the index after them.
std::size_t scanExponentDigits(std::string_view text, std::size_t i, std::int64_t& exponent) {
  for (; i < text.size() && isDigit(text[i]); ++i) {
    if (exponent < kExponentCeiling) exponent = exponent * 10 + (text[i] - '0');
  }
  return i;
}

NumberShape scanNumber(std::string_view text) {
  NumberShape shape;
  std::size_t i = 0;
  if (i < text.size() && isSign(text[i])) shape.negative = text[i++] == '-';
  const std::size_t mantissaStart = i;
  bool point = false;
  for (; i < text.size(); ++i) {
    if (isDigit(text[i])) {
      ++shape.digits;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  shape.mantissa = text.substr(mantissaStart, i - mantissaStart);
  shape.end = i;

  // An exponent counts only with its digits; without them the letter or sign
  // is left over after the number.
  std::size_t j = i;
  const bool letter = j < text.size() && isExponentLetter(text[j]);
  if (letter) ++j;
  bool negativeExponent = false;
  const bool sign = j < text.size() && isSign(text[j]);
  if (sign) negativeExponent = text[j++] == '-';
  if ((letter || sign) && j < text.size() && isDigit(text[j])) {
    shape.end = scanExponentDigits(text, j, shape.exponent);
    if (negativeExponent) shape.exponent = -shape.exponent;
  }
  return shape;
}

// Significant digits kept for the conversion. Every midpoint between two
// neighbouring doubles has fewer significant digits than this, so the digits
// after these decide nothing but whether the rest is zero, and a single
// nonzero digit stands for a rest that is not.
constexpr std::size_t kKeptDigits = 800;

// The magnitude of a number with at least one digit, correctly rounded.
NumberConversion magnitudeOf(const NumberShape& shape) {
  // The kept digits as an integer, then "e" and the power of ten that scales it.
  std::array<char, kKeptDigits + 32> text;
  std::size_t kept = 0;
  bool nonzeroDropped = false;
  std::int64_t integerDigits = 0;
  std::int64_t leadingZeros = 0;
  bool point = false;
  for (const char c : shape.mantissa) {
    if (c == '.') {
      point = true;
      continue;
    }
    if (!point) ++integerDigits;
    if (kept == 0 && c == '0') {
      ++leadingZeros;
    } else if (kept < kKeptDigits) {
      text[kept++] = c;
    } else {
      nonzeroDropped = nonzeroDropped || c != '0';
    }
  }
  if (nonzeroDropped) {
    text[kept++] = '1';
  } else {
    while (kept > 0 && text[kept - 1] == '0') --kept;
  }
  if (kept == 0) return {0.0, {}};  // zero, whatever the exponent

  const std::int64_t order = integerDigits - leadingZeros + shape.exponent;
  if (order > kOrderCertainlyInfinite) return {0.0, NumberOverflow};
  if (order < kOrderCertainlyZero) return {0.0, {}};

  text[kept] = 'e';
  const std::int64_t scale = order - static_cast<std::int64_t>(kept);
  const auto written = std::to_chars(text.data() + kept + 1, text.data() + text.size(), scale);
  double value = 0.0;
  const auto converted = std::from_chars(text.data(), written.ptr, value);
  // The standard conversion calls a result that rounds to infinity or to zero
  // out of range and leaves `value` as it was.
  if (converted.ec == std::errc::result_out_of_range) {
    if (order > 0) return {0.0, NumberOverflow};
    return {0.0, {}};
  }
  return {value, {}};
}

// The value of a digit in the bases up to 36, or 36 for a character that is none.
unsigned digitValue(char c) {
  if (isDigit(c)) return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned>(c - 'A' + 10);
  return 36;
}

RepeatCountConversion failed(FailureKind kind) {
  return {0, kind};
}

}  // namespace

NumberConversion convertNumber(std::string_view text) {
  const NumberShape shape = scanNumber(text);
  if (shape.digits == 0) return {0.0, InvalidNumber};
  NumberConversion result = magnitudeOf(shape);
  if (result.failure) return result;
  if (shape.end != text.size()) return {0.0, InvalidNumber};
  if (shape.negative) result.value = -result.value;
  return result;
}

RepeatCountConversion convertRepeatCount(std::string_view text, bool cutShort) {
  if (text.empty()) return failed(ZeroRepeatCount);
  // Above every count and every base; holding the value there keeps it exact enough.
  constexpr std::uint64_t kCeiling = std::uint64_t{1} << 40;
  const bool sign = isSign(text[0]);
  const bool negative = text[0] == '-';
  std::uint64_t base = 10;
  std::uint64_t value = 0;
  std::size_t digits = 0;
  bool radixMark = false;
  for (std::size_t i = sign ? 1 : 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '#') {
      if (radixMark) return failed(RadixMarkTwice);
      if (sign) return failed(InvalidInteger);  // a sign goes only with decimal digits
      base = digits == 0 ? 16 : value;
      if (base < 2 || base > 36) return failed(InvalidRadix);
      radixMark = true;
      value = 0;
      digits = 0;
      continue;
    }
    const unsigned digit = digitValue(c);
    if (digit >= base) return failed(InvalidInteger);
    value = std::min(value * base + digit, kCeiling);
    ++digits;
  }
  if (cutShort) return failed(IntegerOverflow);
  if (digits == 0) return failed(InvalidInteger);
  const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
  if (value > limit) return failed(IntegerOverflow);
  if (value == 0) return failed(ZeroRepeatCount);
  const auto magnitude = static_cast<std::int64_t>(value);
  return {static_cast<std::int32_t>(negative ? -magnitude : magnitude), {}};
}

}  // namespace trovel
