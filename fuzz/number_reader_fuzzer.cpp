// The reader's number conversion. A double printed with std::to_chars (its
// shortest or its 17-digit form) and rewritten into one of the forms the
// input files may use (E, e, D or d, a bare-sign exponent, a leading or a
// trailing point, a leading plus, leading zeros) must read back to the same
// bits, the sign of zero included. Any other text must end in a finite value
// or in one of the two failures a number can raise.

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz-check.h"
#include "input/number-text.h"

namespace {

using trovel::convertNumber;
using trovel::FailureKind;
using trovel::NumberConversion;

// The form of one rewriting, drawn from two bytes of the input.
struct Form {
  explicit Form(std::uint16_t bits) : bits_(bits) {}
  unsigned take(unsigned count) {  // a choice among `count`
    const unsigned choice = bits_ % count;
    bits_ /= count;
    return choice;
  }

 private:
  std::uint16_t bits_;
};

// |v| = d1.d2...dn times 10^exponent, as to_chars writes it in scientific form.
struct Decimal {
  bool negative;
  std::string digits;
  int exponent;
};

Decimal decimalOf(double value, bool seventeenDigits) {
  std::array<char, 64> text;
  const auto written =
      seventeenDigits
          ? std::to_chars(text.begin(), text.end(), value, std::chars_format::scientific, 16)
          : std::to_chars(text.begin(), text.end(), value, std::chars_format::scientific);
  const std::string_view printed(text.data(), static_cast<std::size_t>(written.ptr - text.data()));
  Decimal decimal{printed[0] == '-', "", 0};
  const std::size_t mark = printed.find('e');
  for (const char c : printed.substr(0, mark)) {
    if (c >= '0' && c <= '9') decimal.digits += c;
  }
  const std::string_view exponent = printed.substr(mark + 1);
  std::from_chars(exponent.data() + (exponent[0] == '+' ? 1 : 0), exponent.data() + exponent.size(),
                  decimal.exponent);
  return decimal;
}

std::string rewritten(const Decimal& decimal, Form form) {
  std::string text;
  if (decimal.negative) {
    text += '-';
  } else if (form.take(2)) {
    text += '+';
  }
  // The point after `before` digits: 0 gives a leading point, n a trailing one or none.
  const std::size_t n = decimal.digits.size();
  const std::size_t before = form.take(static_cast<unsigned>(n + 1));
  text += std::string(form.take(3), '0');
  text += decimal.digits.substr(0, before);
  const bool point = before < n || form.take(2);
  if (point) text += '.';
  text += decimal.digits.substr(before);
  if (point && form.take(2)) text += "00";  // zeros after the point change nothing
  const int exponent = decimal.exponent - (static_cast<int>(before) - 1);

  constexpr std::array<std::string_view, 5> kLetters = {"E", "e", "D", "d", ""};
  const std::string_view letter = kLetters[form.take(5)];
  if (letter.empty() && exponent == 0 && form.take(2)) return text;  // no exponent at all
  text += letter;
  if (exponent < 0) {
    text += '-';
  } else if (letter.empty() || form.take(2)) {
    text += '+';  // a bare-sign exponent needs its sign
  }
  text += std::string(form.take(3), '0');
  text += std::to_string(exponent < 0 ? -exponent : exponent);
  return text;
}

void checkRoundTrip(const std::uint8_t* data) {
  double value;
  std::memcpy(&value, data, 8);
  if (!std::isfinite(value)) return;
  std::uint16_t bits;
  std::memcpy(&bits, data + 8, 2);
  const Decimal decimal = decimalOf(value, data[10] & 1);
  const std::string text = rewritten(decimal, Form(bits));
  const NumberConversion read = convertNumber(text);
  FUZZ_CHECK(!read.failure, "\"%s\" (%a) failed with kind %d", text.c_str(), value,
             static_cast<int>(*read.failure));
  FUZZ_CHECK(std::bit_cast<std::uint64_t>(read.value) == std::bit_cast<std::uint64_t>(value),
             "\"%s\" read as %a, written from %a", text.c_str(), read.value, value);
}

void checkAnyText(std::string_view text) {
  const NumberConversion read = convertNumber(text);
  if (read.failure) {
    FUZZ_CHECK(
        *read.failure == FailureKind::InvalidNumber || *read.failure == FailureKind::NumberOverflow,
        "kind %d", static_cast<int>(*read.failure));
  } else {
    FUZZ_CHECK(std::isfinite(read.value), "a text read as %a", read.value);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1) {
    checkAnyText(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    return 0;
  }
  for (std::size_t at = 1; at + 11 <= size; at += 11) checkRoundTrip(data + at);
  return 0;
}
