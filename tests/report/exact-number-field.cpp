#include "exact-number-field.h"

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace trovel::test {
namespace {

// A natural number as little-endian limbs of nine decimal digits.
using Big = std::vector<std::uint32_t>;
constexpr std::uint32_t kLimb = 1000000000;

void multiply(Big& number, std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (std::uint32_t& limb : number) {
    const std::uint64_t product = std::uint64_t{limb} * factor + carry;
    limb = static_cast<std::uint32_t>(product % kLimb);
    carry = product / kLimb;
  }
  while (carry != 0) {
    number.push_back(static_cast<std::uint32_t>(carry % kLimb));
    carry /= kLimb;
  }
}

std::string decimalText(const Big& number) {
  std::string text = std::to_string(number.back());
  for (std::size_t i = number.size() - 1; i-- > 0;) {
    const std::string limb = std::to_string(number[i]);
    text += std::string(9 - limb.size(), '0') + limb;
  }
  return text;
}

// Adds one unit in the last place of a digit string; true on a carry out of
// the first digit (the digits are then all zeros).
bool increment(std::string& digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return false;
    }
    digits[i] = '0';
  }
  return true;
}

}  // namespace

ExactDecimal exactDecimal(double value) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int power = biased == 0 ? -1074 : biased - 1075;  // |value| = mantissa * 2^power
  if (biased != 0) mantissa |= std::uint64_t{1} << 52;

  Big number{static_cast<std::uint32_t>(mantissa % kLimb),
             static_cast<std::uint32_t>(mantissa / kLimb % kLimb),
             static_cast<std::uint32_t>(mantissa / kLimb / kLimb)};
  while (number.size() > 1 && number.back() == 0) number.pop_back();
  // mantissa * 2^-k = mantissa * 5^k / 10^k
  int decimalShift = 0;
  for (; power >= 30; power -= 30) multiply(number, std::uint32_t{1} << 30);
  for (; power > 0; --power) multiply(number, 2);
  for (; power <= -13; power += 13, decimalShift -= 13) multiply(number, 1220703125);  // 5^13
  for (; power < 0; ++power, --decimalShift) multiply(number, 5);

  std::string digits = decimalText(number);
  const int exponent = static_cast<int>(digits.size()) + decimalShift;
  while (digits.back() == '0') digits.pop_back();
  return ExactDecimal{digits, exponent};
}

std::string exactNumberField(double value) {
  std::string text;
  if (value == 0.0) {
    text = "0.000000E+00";
  } else {
    ExactDecimal exact = exactDecimal(value);
    std::string d = exact.digits.substr(0, 18);
    d.resize(18, '0');
    const bool up17 = d[17] >= '5';
    d.resize(17);
    if (up17 && increment(d)) {
      d = "1";
      ++exact.exponent;
    }
    while (d.back() == '0') d.pop_back();

    const bool up7 = d.size() > 7 && d[7] >= '5';
    d.resize(7, '0');
    if (up7 && increment(d)) {
      d = "1000000";
      ++exact.exponent;
    }

    const int e = exact.exponent - 1;
    const int magnitude = e < 0 ? -e : e;
    std::string exponentDigits = std::to_string(magnitude);
    const bool letter = magnitude <= 99;
    exponentDigits.insert(0, (letter ? 2 : 3) - exponentDigits.size(), '0');
    text = std::string(value < 0 ? "-" : "") + d[0] + "." + d.substr(1) + (letter ? "E" : "") +
           (e < 0 ? "-" : "+") + exponentDigits;
  }
  return std::string(15 - text.size(), ' ') + text;
}

}  // namespace trovel::test
