#pragma once
// An independent rendering of the report's number field for tests: it makes
// the exact decimal expansion of the double with big-integer arithmetic and
// then follows the two roundings step by step (cut after the 18th digit,
// round to 17, then to 7), with none of the shortcuts of the product code.

#include <string>

namespace trovel::test {

// Every significant digit of |value| (nonzero, finite) and the exponent E
// with |value| = 0.digits * 10^E.
struct ExactDecimal {
  std::string digits;
  int exponent;
};
ExactDecimal exactDecimal(double value);

// The 15 characters of the field for a finite double.
std::string exactNumberField(double value);

}  // namespace trovel::test
