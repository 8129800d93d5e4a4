// The report's number field against its exact rendering: the full decimal
// expansion of the double in big-integer arithmetic, cut after 18 digits and
// rounded twice, step by step (exact-number-field.cpp, shared with the tests).
// Two kinds of input: raw doubles, eight bytes each, and doubles built next
// to the places where the two roundings decide, seven digits followed by a
// tail such as 4999999999 or 5, where raw bits almost never land.

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <system_error>

#include "exact-number-field.h"
#include "fuzz-check.h"
#include "report/number-field.h"

namespace {

void checkField(double value) {
  if (!std::isfinite(value)) return;  // the writer is never handed one
  const trovel::NumberField field = trovel::numberField(value);
  const std::string rendered(field.data(), field.size());
  const std::string exact = trovel::test::exactNumberField(value);
  FUZZ_CHECK(rendered == exact, "%a: field \"%s\", exact \"%s\"", value, rendered.c_str(),
             exact.c_str());
}

void checkAround(double value) {
  for (const double v :
       {value, std::nextafter(value, HUGE_VAL), std::nextafter(value, -HUGE_VAL)}) {
    checkField(v);
    checkField(-v);
  }
}

// Digits after the seventh that put a value at, just below or just above the
// bounds of both roundings.
constexpr std::array<const char*, 12> kTails = {
    "5",           "4999999999",       "49999999995",       "49999999994",
    "50000000005", "4999999999999999", "5000000000000001",  "9999999999",
    "99999999995", "0000000001",       "49999999999999999", "0",
};

void checkNearBound(const std::uint8_t* data, std::size_t size) {
  if (size < 7) return;
  std::uint32_t leading;
  std::memcpy(&leading, data, 4);
  std::int16_t exponent;
  std::memcpy(&exponent, data + 4, 2);
  const char* tail = kTails[data[6] % kTails.size()];

  std::array<char, 64> text;
  const std::uint32_t digits = 1000000 + leading % 9000000;  // seven digits, the first not 0
  char* end = std::to_chars(text.data(), text.data() + 8, digits).ptr;
  const std::size_t tailLength = std::strlen(tail);
  std::memcpy(end, tail, tailLength);
  end += tailLength;
  *end++ = 'e';
  // The decimal exponent of the first digit from -330 to 310: subnormals to overflow.
  const int power = (exponent % 641 + 641) % 641 - 330;
  end = std::to_chars(end, text.data() + text.size(), power - 6 - static_cast<int>(tailLength)).ptr;

  double value = 0.0;
  const auto parsed = std::from_chars(text.data(), end, value);
  if (parsed.ec != std::errc()) return;  // beyond the range of a double
  checkAround(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1) {
    checkNearBound(data + 1, size - 1);
    return 0;
  }
  for (std::size_t at = 1; at + 8 <= size; at += 8) {
    double value;
    std::memcpy(&value, data + at, 8);
    checkField(value);
  }
  return 0;
}
