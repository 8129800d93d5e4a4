#include "run/checked-arithmetic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "run-ending.h"

namespace trovel {
namespace {

using test::mathReport;

constexpr double kMax = std::numeric_limits<double>::max();

class CheckedArithmeticTest : public test::RunEnding {
 protected:
  CheckedArithmetic math{failures};
};

struct FailingOperation {
  const char* name;
  std::function<double(const CheckedArithmetic&)> operation;
  const char* number;
  const char* message;
};

const FailingOperation kFailing[] = {
    {"1 / 0", [](auto& m) { return m.divide(1.0, 0.0); }, "M6103",
     "floating-point error: divide by zero"},
    {"-1 / -0", [](auto& m) { return m.divide(-1.0, -0.0); }, "M6103",
     "floating-point error: divide by zero"},
    {"tiny / 0", [](auto& m) { return m.divide(0x1p-1074, 0.0); }, "M6103",
     "floating-point error: divide by zero"},
    {"0 / 0", [](auto& m) { return m.divide(0.0, 0.0); }, "M6101", "floating-point error: invalid"},
    {"-0 / 0", [](auto& m) { return m.divide(-0.0, 0.0); }, "M6101",
     "floating-point error: invalid"},
    {"max + max", [](auto& m) { return m.add(kMax, kMax); }, "M6104",
     "floating-point error: overflow"},
    {"-max - max", [](auto& m) { return m.subtract(-kMax, kMax); }, "M6104",
     "floating-point error: overflow"},
    {"1e308 * 10", [](auto& m) { return m.multiply(1e308, 10.0); }, "M6104",
     "floating-point error: overflow"},
    {"1e308 / 1e-10", [](auto& m) { return m.divide(1e308, 1e-10); }, "M6104",
     "floating-point error: overflow"},
    {"sq(1.35e154)", [](auto& m) { return m.sq(1.35e154); }, "M6203", "**: OVERFLOW error"},
    {"sq(-1.35e154)", [](auto& m) { return m.sq(-1.35e154); }, "M6203", "**: OVERFLOW error"},
    {"cos(2^63)", [](auto& m) { return m.cos(0x1p63); }, "M6205", "cos: TLOSS error"},
    {"sin(-2^63)", [](auto& m) { return m.sin(-0x1p63); }, "M6205", "sin: TLOSS error"},
    {"tan(1e300)", [](auto& m) { return m.tan(1e300); }, "M6205", "tan: TLOSS error"},
};

TEST_F(CheckedArithmeticTest, EachFailingOperationEndsTheRunWithItsReport) {
  for (const FailingOperation& row : kFailing) {
    os.standardError.clear();
    const test::Ending ending = endingOf([&] { row.operation(math); });
    EXPECT_EQ(ending.status, 1) << row.name;
    EXPECT_EQ(ending.standardError, mathReport(row.number, row.message)) << row.name;
  }
}

struct PassingOperation {
  const char* name;
  std::function<double(const CheckedArithmetic&)> operation;
  double result;
};

// Up to the edges of every failure, and underflow, which passes silently.
const PassingOperation kPassing[] = {
    {"max + 0", [](auto& m) { return m.add(kMax, 0.0); }, kMax},
    {"max * 1", [](auto& m) { return m.multiply(kMax, 1.0); }, kMax},
    {"0 / 5", [](auto& m) { return m.divide(0.0, 5.0); }, 0.0},
    {"2^-1000 / 2^40", [](auto& m) { return m.divide(0x1p-1000, 0x1p40); }, 0x1p-1040},
    {"1e-200 * 1e-200", [](auto& m) { return m.multiply(1e-200, 1e-200); }, 0.0},
    {"sq(-3)", [](auto& m) { return m.sq(-3.0); }, 9.0},
    {"sq(1e-200)", [](auto& m) { return m.sq(1e-200); }, 0.0},
    {"sq(1.34e154)", [](auto& m) { return m.sq(1.34e154); }, 1.34e154 * 1.34e154},
    {"sqrt(2)", [](auto& m) { return m.sqrt(2.0); }, 0x1.6a09e667f3bcdp+0},
    {"cos(below 2^63)", [](auto& m) { return m.cos(0x1.fffffffffffffp+62); },
     -0x1.2ccaf641d4262p-3},
};

TEST_F(CheckedArithmeticTest, OperationsUpToTheEdgesPass) {
  for (const PassingOperation& row : kPassing) {
    const test::Ending ending = endingOf([&] { EXPECT_EQ(row.operation(math), row.result); });
    EXPECT_EQ(ending.status, std::nullopt) << row.name;
    EXPECT_EQ(ending.standardError, "") << row.name;
  }
}

TEST_F(CheckedArithmeticTest, SquareOfAZeroIsPositiveZero) {
  EXPECT_FALSE(std::signbit(math.sq(-0.0)));
  EXPECT_FALSE(std::signbit(math.sq(0.0)));
}

}  // namespace
}  // namespace trovel
