// Compares the program's trigonometry with the C library's over many
// arguments. Built only where that library is accurate to within an ulp for
// these ranges (glibc); the pinned bits of trigonometry_test.cpp hold everywhere.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "run/trigonometry.h"

namespace trovel::trigonometry {
namespace {

// Distance in units in the last place between two finite doubles.
std::uint64_t ulpsBetween(double a, double b) {
  const auto ordered = [](double v) {
    const std::int64_t bits = std::bit_cast<std::int64_t>(v);
    return bits < 0 ? std::numeric_limits<std::int64_t>::min() - bits : bits;
  };
  const std::int64_t d = ordered(a) - ordered(b);
  return static_cast<std::uint64_t>(d < 0 ? -d : d);
}

void expectWithinAnUlp(double x) {
  EXPECT_LE(ulpsBetween(sin(x), std::sin(x)), 1u) << std::hexfloat << "sin " << x;
  EXPECT_LE(ulpsBetween(cos(x), std::cos(x)), 1u) << std::hexfloat << "cos " << x;
  EXPECT_LE(ulpsBetween(tan(x), std::tan(x)), 1u) << std::hexfloat << "tan " << x;
}

TEST(TrigonometryReference, WithinAnUlpOfTheLibraryInEveryBinadeUpTo2To63) {
  std::mt19937_64 random(20081101);
  std::uniform_real_distribution<double> significand(1.0, 2.0);
  for (int exponent = -1074; exponent < 63; ++exponent) {
    for (int i = 0; i < 300; ++i) {
      const double x = std::ldexp(significand(random), exponent);
      expectWithinAnUlp(x);
      expectWithinAnUlp(-x);
    }
  }
}

TEST(TrigonometryReference, WithinAnUlpOfTheLibraryNextToMultiplesOfHalfPi) {
  const double halfPi = 0x1.921fb54442d18p+0;
  for (double k = 1; k < 100000; ++k) {
    const double x = k * halfPi;
    expectWithinAnUlp(x);
    expectWithinAnUlp(std::nextafter(x, 0.0));
    expectWithinAnUlp(std::nextafter(x, 1e300));
  }
  for (double k = 0x1p20; k < 0x1p61; k *= 1.37) expectWithinAnUlp(k * halfPi);
}

}  // namespace
}  // namespace trovel::trigonometry
