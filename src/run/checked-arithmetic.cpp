#include "run/checked-arithmetic.h"

#include <array>
#include <cmath>
#include <string_view>

#include "run/trigonometry.h"

namespace trovel {
namespace {

struct FloatingPointFailure {
  FailureKind kind;
  std::string_view message;
};

constexpr std::array kFloatingPointFailures = {
    FloatingPointFailure{FailureKind::InvalidOperation, "floating-point error: invalid"},
    FloatingPointFailure{FailureKind::DivideByZero, "floating-point error: divide by zero"},
    FloatingPointFailure{FailureKind::ArithmeticOverflow, "floating-point error: overflow"},
};

}  // namespace

void CheckedArithmetic::raise(FailureKind kind) const {
  for (const FloatingPointFailure& failure : kFloatingPointFailures) {
    if (failure.kind == kind) failures_.raiseMathFailure(kind, failure.message);
  }
  failures_.raiseMathFailure(kind, "");
}

double CheckedArithmetic::add(double a, double b) const {
  return checked(a + b);
}

double CheckedArithmetic::subtract(double a, double b) const {
  return checked(a - b);
}

double CheckedArithmetic::multiply(double a, double b) const {
  return checked(a * b);
}

double CheckedArithmetic::divide(double a, double b) const {
  if (b == 0.0) {
    raise(a == 0.0 || std::isnan(a) ? FailureKind::InvalidOperation : FailureKind::DivideByZero);
  }
  return checked(a / b);
}

double CheckedArithmetic::sq(double v) const {
  if (v == 0.0) return +0.0;
  const double magnitude = std::fabs(v);
  const double square = magnitude * magnitude;
  if (std::isinf(square)) {
    failures_.raiseMathFailure(FailureKind::FunctionOverflow, "**: OVERFLOW error");
  }
  return checked(square);  // a NaN base
}

double CheckedArithmetic::cos(double a) const {
  return trigonometry::cos(checkedAngle(a, "cos: TLOSS error"));
}

double CheckedArithmetic::sin(double a) const {
  return trigonometry::sin(checkedAngle(a, "sin: TLOSS error"));
}

double CheckedArithmetic::tan(double a) const {
  return trigonometry::tan(checkedAngle(a, "tan: TLOSS error"));
}

double CheckedArithmetic::sqrt(double v) const {
  return checked(std::sqrt(v));
}

double CheckedArithmetic::checked(double result) const {
  // Operands are finite, so a NaN can only come from an invalid operation.
  if (std::isnan(result)) raise(FailureKind::InvalidOperation);
  if (std::isinf(result)) raise(FailureKind::ArithmeticOverflow);
  return result;
}

double CheckedArithmetic::checkedAngle(double a, const char* totalLossMessage) const {
  if (!(std::fabs(a) < trigonometry::kArgumentLimit)) {
    failures_.raiseMathFailure(FailureKind::FunctionTotalLoss, totalLossMessage);
  }
  return a;
}

}  // namespace trovel
