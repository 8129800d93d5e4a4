#include "run/checked-arithmetic.h"

#include <cmath>
#include <string_view>

#include "run/trigonometry.h"

namespace trovel {
namespace {

struct MathFailure {
  FailureKind kind;
  std::string_view message;
};

constexpr MathFailure kInvalid = {FailureKind::InvalidOperation, "floating-point error: invalid"};
constexpr MathFailure kDivideByZero = {FailureKind::DivideByZero,
                                       "floating-point error: divide by zero"};
constexpr MathFailure kOverflow = {FailureKind::ArithmeticOverflow,
                                   "floating-point error: overflow"};
constexpr MathFailure kPowerOverflow = {FailureKind::FunctionOverflow, "**: OVERFLOW error"};
constexpr MathFailure kCosineTotalLoss = {FailureKind::FunctionTotalLoss, "cos: TLOSS error"};
constexpr MathFailure kSineTotalLoss = {FailureKind::FunctionTotalLoss, "sin: TLOSS error"};
constexpr MathFailure kTangentTotalLoss = {FailureKind::FunctionTotalLoss, "tan: TLOSS error"};

[[noreturn]] void raise(Failures& failures, const MathFailure& failure) {
  failures.raiseMathFailure(failure.kind, failure.message);
}

// The result of an operation on finite operands, once it is known to be finite.
double finite(Failures& failures, double result) {
  if (std::isnan(result)) raise(failures, kInvalid);
  if (std::isinf(result)) raise(failures, kOverflow);
  return result;
}

// An angle the trigonometric functions take; a larger one is the total loss.
double angle(Failures& failures, double a, const MathFailure& totalLoss) {
  if (!(std::fabs(a) < trigonometry::kArgumentLimit)) raise(failures, totalLoss);
  return a;
}

}  // namespace

double CheckedArithmetic::add(double a, double b) const {
  return finite(failures_, a + b);
}

double CheckedArithmetic::subtract(double a, double b) const {
  return finite(failures_, a - b);
}

double CheckedArithmetic::multiply(double a, double b) const {
  return finite(failures_, a * b);
}

double CheckedArithmetic::divide(double a, double b) const {
  if (b == 0.0) raise(failures_, a == 0.0 || std::isnan(a) ? kInvalid : kDivideByZero);
  return finite(failures_, a / b);
}

double CheckedArithmetic::sq(double v) const {
  if (v == 0.0) return +0.0;
  const double magnitude = std::fabs(v);
  const double square = magnitude * magnitude;
  if (std::isinf(square)) raise(failures_, kPowerOverflow);
  return finite(failures_, square);  // a NaN base
}

double CheckedArithmetic::cos(double a) const {
  return trigonometry::cos(angle(failures_, a, kCosineTotalLoss));
}

double CheckedArithmetic::sin(double a) const {
  return trigonometry::sin(angle(failures_, a, kSineTotalLoss));
}

double CheckedArithmetic::tan(double a) const {
  return trigonometry::tan(angle(failures_, a, kTangentTotalLoss));
}

double CheckedArithmetic::sqrt(double v) const {
  return finite(failures_, std::sqrt(v));
}

}  // namespace trovel
