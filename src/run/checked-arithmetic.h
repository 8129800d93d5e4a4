#pragma once
// Double arithmetic for the apogee methods. Each operation is one rounded
// double operation, tested right after it is done: an invalid operation, a
// division by zero or a result beyond the largest double ends the run with its
// math failure report, so no infinity or NaN is ever handed on. Underflow and
// inexact results pass silently. The tests replace floating-point traps, which
// differ between systems.

#include "host/failure.h"

namespace trovel {

class CheckedArithmetic {
 public:
  explicit CheckedArithmetic(Failures& failures) : failures_(failures) {}

  // a + b, a - b, a * b: an overflow is "floating-point error: overflow".
  double add(double a, double b) const;
  double subtract(double a, double b) const;
  double multiply(double a, double b) const;
  // a / b: a nonzero a over zero is "divide by zero", 0 / 0 is "invalid".
  double divide(double a, double b) const;

  // v raised to the real power 2.0: the square of |v|, +0 for a zero of either
  // sign. A square beyond the largest double is the power operation's OVERFLOW.
  double sq(double v) const;

  // Angles in radians; a magnitude of 2^63 or more is the function's TLOSS.
  double cos(double a) const;
  double sin(double a) const;
  double tan(double a) const;

  // The square root of v >= 0 (the methods take it of sums of squares only);
  // a negative v would be an invalid operation.
  double sqrt(double v) const;

 private:
  Failures& failures_;
};

}  // namespace trovel
