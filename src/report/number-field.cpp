#include "report/number-field.h"

#include <charconv>
#include <cstddef>
#include <string_view>

namespace trovel {
namespace {

// The field's digits come from two roundings of the exact decimal expansion
// of |v|: T, its first 18 significant digits cut off, is rounded half up to
// 17 digits, and that half up to 7. Scale |v| to W with 10^6 <= W < 10^7 and
// let M be its integer part (the first seven digits). Then T = floor(W*10^11)
// and the two roundings together give floor((T + 5 + 5*10^10) / 10^11): the
// first rounding changes the 8th digit only by a carry through nine nines in
// digits 9 to 17, and the sum carries alike. As 5 + 5*10^10 is an integer,
// that equals floor(W + 0.50000000005): W rounds up exactly when
// W >= B = M.49999999995.
//
// std::to_chars with 17 significant digits rounds the exact value to the
// nearest 17-digit S. B lies halfway between the 17-digit neighbours
// M.4999999999 and M.5000000000, so S is on the same side of B as W itself,
// and rounding S half up at its 7th digit gives the same seven digits. W = B
// cannot happen: B has 18 significant digits ending in 95, so |v| would be
// N*10^k with N odd, not divisible by 25 and N/5 > 2^53; the powers of five
// of 10^k cannot all cancel, and what is left is an odd factor above 2^53,
// which no double has. Ties of to_chars elsewhere decide nothing. A carry of
// S into the next decade (99.99999999999999 gives 1.0000000000000000e+02)
// lies above every bound of the decade below and comes out right too. So 17
// correctly rounded digits are all the field needs; no exact expansion is
// ever made.
constexpr int kDigits = 17;
constexpr int kKept = 7;

struct Scientific {
  std::array<char, kDigits> digits;  // d.dddddddddddddddd without the point
  int exponent;
};

Scientific scientific(double magnitude) {
  // "d." and 16 digits, "e", a sign and up to three exponent digits.
  std::array<char, 32> text;
  const auto result = std::to_chars(text.data(), text.data() + text.size(), magnitude,
                                    std::chars_format::scientific, kDigits - 1);
  const std::string_view written(text.data(), static_cast<std::size_t>(result.ptr - text.data()));

  Scientific out{};
  out.digits[0] = written[0];
  for (int i = 1; i < kDigits; ++i) out.digits[i] = written[static_cast<std::size_t>(i) + 1];
  const std::size_t mark = written.find('e');
  int exponent = 0;
  for (std::size_t i = mark + 2; i < written.size(); ++i)
    exponent = exponent * 10 + (written[i] - '0');
  out.exponent = written[mark + 1] == '-' ? -exponent : exponent;
  return out;
}

// The first seven digits rounded half up; a carry out of the first digit
// gives 1000000 and a larger exponent.
void roundToKept(Scientific& number) {
  if (number.digits[kKept] < '5') return;
  for (int i = kKept - 1; i >= 0; --i) {
    if (number.digits[i] != '9') {
      ++number.digits[i];
      return;
    }
    number.digits[i] = '0';
  }
  number.digits[0] = '1';
  ++number.exponent;
}

// Writes `value` (0 to 999) as `width` digits ending just before `end`.
char* putDigits(char* end, int value, int width) {
  for (int i = 0; i < width; ++i) {
    *--end = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return end;
}

}  // namespace

NumberField numberField(double value) {
  NumberField field;
  field.fill(' ');
  Scientific number{{'0', '0', '0', '0', '0', '0', '0'}, 0};
  if (value != 0.0) {
    number = scientific(value < 0.0 ? -value : value);
    roundToKept(number);
  }

  // Composed from the right: exponent, six digits, point, first digit, sign.
  char* at = field.data() + field.size();
  const int magnitude = number.exponent < 0 ? -number.exponent : number.exponent;
  const bool shortExponent = magnitude <= 99;
  at = putDigits(at, magnitude, shortExponent ? 2 : 3);
  *--at = number.exponent < 0 ? '-' : '+';
  if (shortExponent) *--at = 'E';
  for (int i = kKept - 1; i >= 1; --i) *--at = number.digits[i];
  *--at = '.';
  *--at = number.digits[0];
  if (value < 0.0) *--at = '-';
  return field;
}

}  // namespace trovel
