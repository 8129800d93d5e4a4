#include "run/apogee.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "run-ending.h"

namespace trovel {
namespace {

using test::mathReport;

struct Measurements {
  double g, tH, tI, LO, alfa, LI, gama, lambda;
};

struct Estimates {
  double beta, Hi1, Hi2, HA;
  Triangulation B, C;
};

class ApogeeTest : public test::RunEnding {
 protected:
  Estimates estimate(const Measurements& m) {
    const double beta = deriveBeta(math, m.gama, m.lambda);
    return {beta,
            idealMethod1(math, m.g, m.tI),
            idealMethod2(math, m.g, m.tH),
            methodA(math, pi, m.LO, m.alfa),
            methodB(math, pi, m.LO, m.alfa, m.LI, beta),
            methodC(math, pi, m.LO, m.alfa, m.LI, beta, m.tH, m.tI)};
  }

  CheckedArithmetic math{failures};
  const double pi = computePi();
};

TEST(ComputePi, IsTheDoubleNearestToPiOnEverySystem) {
  EXPECT_EQ(computePi(), 0x1.921fb54442d18p+1);
}

// A result with its exact bits, which must be the same on every system, and
// the value the documentation of the methods gives, to its digits.
struct Expected {
  const char* quantity;
  double actual;
  double bits;
  double documented;
  double tolerance;
};

void expectAll(const std::vector<Expected>& rows) {
  for (const Expected& row : rows) {
    EXPECT_EQ(row.actual, row.bits) << row.quantity << " = " << std::hexfloat << row.actual;
    EXPECT_NEAR(row.actual, row.documented, row.tolerance) << row.quantity;
  }
}

TEST_F(ApogeeTest, WorkedExampleWithBetaOf90) {
  const Estimates e = estimate({9.81, 5.0, 11.5, 60, 52.5, 25, 30, 120});
  expectAll({
      {"beta", e.beta, 90.0, 90.0, 0.0},
      {"Hi1", e.Hi1, 0x1.4457d70a3d70bp+7, 162.1716, 5e-5},
      {"Hi2", e.Hi2, 122.625, 122.6250, 5e-5},
      {"HA", e.HA, 0x1.38c62aba70e48p+6, 78.19352, 5e-6},
      // cos of the double next to pi/2, times 25 / 2
      {"B x", e.B.x, 0x1.b939bafcfcfcbp-51, 7.65e-16, 5e-19},
      {"B y", e.B.y, 12.5, 12.50000, 5e-6},
      {"B OH2", e.B.OH2, 0x1.ea4e57c727d9p+5, 61.28825, 5e-6},
      {"HB", e.B.H, 0x1.3f7d5837c2352p+6, 79.87241, 5e-6},
      {"C x", e.C.x, 0x1.7faca29935084p-51, 6.66e-16, 5e-19},
      {"C y", e.C.y, 0x1.5bd37a6f4de9cp+3, 10.86957, 5e-6},
      {"C OH2", e.C.OH2, 0x1.e7d01af8a1565p+5, 60.97661, 5e-6},
      {"HC", e.C.H, 0x1.3ddd75ff9ec29p+6, 79.46627, 5e-6},
  });
}

TEST_F(ApogeeTest, ExampleOfTheReportWithNegativeBeta) {
  const Estimates e = estimate({9.81, 4, 10, 100, 30, 50, 10, 250});
  expectAll({
      {"beta", e.beta, -60.0, -60.0, 0.0},
      {"Hi1", e.Hi1, 122.625, 122.625, 5e-4},
      {"Hi2", e.Hi2, 0x1.39eb851eb851fp+6, 78.48, 5e-3},
      {"HA", e.HA, 0x1.cde155cb14fdcp+5, 57.7350269189626, 5e-14},
      {"B x", e.B.x, 0x1.9000000000002p+3, 12.5, 5e-2},
      {"B y", e.B.y, -0x1.5a6900584fbe5p+4, -21.6506350946110, 5e-14},
      {"B OH2", e.B.OH2, 0x1.ca41f0130ffbp+6, 114.564392373896, 5e-13},
      {"HB", e.B.H, 0x1.08933bcacd276p+6, 66.1437827766148, 5e-14},
      {"C x", e.C.x, 0x1.4000000000002p+3, 10.0, 0.5},
      {"C y", e.C.y, -0x1.1520cd1372febp+4, -17.3205080756888, 5e-14},
      {"C OH2", e.C.OH2, 0x1.bd6bd06c2f234p+6, 111.355287256600, 5e-13},
      {"HC", e.C.H, 0x1.0129fd3be2f0ap+6, 64.2910050732864, 5e-14},
  });
}

TEST_F(ApogeeTest, BetaIsReducedBy360OnceAndNeverRaised) {
  struct Row {
    double gama, lambda, beta;
  };
  const Row rows[] = {
      {300, 120, 0},     // b = 360 exactly
      {0, 270, -90},     // negative, not 270
      {350, -400, 570},  // b = 930, one subtraction only
      {0, 0, 180},      {10, 250, -60}, {179, 0, 359},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(deriveBeta(math, row.gama, row.lambda), row.beta) << row.gama << ", " << row.lambda;
  }
}

TEST_F(ApogeeTest, ElevationOf90IsAFiniteTangent) {
  const double tangent = 0x1.d02967c31cdb5p+53;  // about 1.633e16
  EXPECT_EQ(methodA(math, pi, 1.0, 90.0), tangent);
  EXPECT_EQ(methodA(math, pi, 60.0, 90.0), tangent * 60.0);
  const Triangulation b = methodB(math, pi, 60.0, 90.0, 25.0, 90.0);
  EXPECT_EQ(b.H, tangent * b.OH2);
  EXPECT_EQ(os.standardError, "");
}

TEST_F(ApogeeTest, ElevationOf0GivesHeightsOf0) {
  const Estimates e = estimate({9.81, 4, 10, 100, 0, 50, 10, 250});
  EXPECT_EQ(e.HA, 0.0);
  EXPECT_EQ(e.B.H, 0.0);
  EXPECT_EQ(e.C.H, 0.0);
  EXPECT_GT(e.B.OH2, 0.0);
}

TEST_F(ApogeeTest, AllZeroCaseComputesWithZerosUntilMethodCsZeroOverZero) {
  const double beta = deriveBeta(math, 0.0, 0.0);
  EXPECT_EQ(beta, 180.0);
  EXPECT_EQ(idealMethod1(math, 0.0, 0.0), 0.0);
  EXPECT_EQ(idealMethod2(math, 0.0, 0.0), 0.0);
  EXPECT_EQ(methodA(math, pi, 0.0, 0.0), 0.0);
  const Triangulation b = methodB(math, pi, 0.0, 0.0, 0.0, beta);
  EXPECT_EQ(b.H, 0.0);
  EXPECT_EQ(b.x, 0.0);
  EXPECT_TRUE(std::signbit(b.x)) << "cos(pi) * 0 / 2 is a negative zero";
  EXPECT_EQ(b.y, 0.0);
  EXPECT_FALSE(std::signbit(b.y));
  EXPECT_EQ(b.OH2, 0.0);
  EXPECT_FALSE(std::signbit(b.OH2));

  const test::Ending ending = endingOf([&] { methodC(math, pi, 0.0, 0.0, 0.0, beta, 0.0, 0.0); });
  EXPECT_EQ(ending.status, 1);
  EXPECT_EQ(ending.standardError, mathReport("M6101", "floating-point error: invalid"));
}

TEST_F(ApogeeTest, NegativeTimesAreAccepted) {
  EXPECT_EQ(idealMethod1(math, 9.81, -10.0), 122.625);
  EXPECT_EQ(idealMethod2(math, 9.81, -4.0), idealMethod2(math, 9.81, 4.0));
  const Triangulation forward = methodC(math, pi, 100, 30, 50, -60, 4, 10);
  const Triangulation backward = methodC(math, pi, 100, 30, 50, -60, -4, 10);
  EXPECT_EQ(backward.x, -forward.x);
  EXPECT_EQ(backward.y, -forward.y);
  EXPECT_NEAR(backward.OH2, std::sqrt(90.0 * 90.0 + 300.0), 1e-12);
  const Triangulation bothNegative = methodC(math, pi, 100, 30, 50, -60, -4, -10);
  EXPECT_EQ(bothNegative.OH2, forward.OH2);
}

TEST_F(ApogeeTest, GroundPointBehindTheObserverSquaresANegativeDistance) {
  // beta = 180 with LO < LI / 2: LO + x = 10 - 25 is negative
  const Triangulation b = methodB(math, pi, 10.0, 30.0, 50.0, 180.0);
  EXPECT_EQ(b.x, -25.0);
  EXPECT_EQ(b.OH2, 15.0);  // LI / 2 - LO
  EXPECT_NEAR(b.H, 15.0 / std::sqrt(3.0), 1e-12);
}

struct FailingMethod {
  const char* name;
  std::function<void(const CheckedArithmetic&, double pi)> method;
  const char* number;
  const char* message;
};

constexpr double kMax = std::numeric_limits<double>::max();
constexpr const char* kDivideByZero = "floating-point error: divide by zero";
constexpr const char* kInvalid = "floating-point error: invalid";
constexpr const char* kOverflow = "floating-point error: overflow";
constexpr const char* kPowerOverflow = "**: OVERFLOW error";

const FailingMethod kFailingMethods[] = {
    {"tI = 0 in method C", [](auto& m, double pi) { methodC(m, pi, 60, 52.5, 25, 90, 5, 0); },
     "M6103", kDivideByZero},
    {"tI = tH = 0 in method C", [](auto& m, double pi) { methodC(m, pi, 60, 52.5, 25, 90, 0, 0); },
     "M6101", kInvalid},
    {"beta beyond the largest double", [](auto& m, double) { deriveBeta(m, kMax, -kMax); }, "M6104",
     kOverflow},
    {"Hi1 beyond the largest double", [](auto& m, double) { idealMethod1(m, 100, 2e154); }, "M6104",
     kOverflow},
    {"square in Hi1", [](auto& m, double) { idealMethod1(m, 9.81, 3e154); }, "M6203",
     kPowerOverflow},
    {"square in Hi2", [](auto& m, double) { idealMethod2(m, 9.81, -2e154); }, "M6203",
     kPowerOverflow},
    {"Hi2 beyond the largest double", [](auto& m, double) { idealMethod2(m, 1e300, 1e10); },
     "M6104", kOverflow},
    {"HA beyond the largest double", [](auto& m, double pi) { methodA(m, pi, 1e308, 89); }, "M6104",
     kOverflow},
    {"alfa * pi beyond the largest double", [](auto& m, double pi) { methodA(m, pi, 1, 1e308); },
     "M6104", kOverflow},
    {"elevation of 2^63 radians or more", [](auto& m, double pi) { methodA(m, pi, 60, 6e20); },
     "M6205", "tan: TLOSS error"},
    {"azimuth of 2^63 radians or more",
     [](auto& m, double pi) { methodB(m, pi, 60, 52.5, 25, -6e20); }, "M6205", "cos: TLOSS error"},
    {"square of LO + x in method B", [](auto& m, double pi) { methodB(m, pi, 1e155, 45, 1, 0); },
     "M6203", kPowerOverflow},
    {"sum of the squares in method B",
     [](auto& m, double pi) { methodB(m, pi, 1e154, 45, 2.6e154, 90); }, "M6104", kOverflow},
    {"square of y in method C",
     [](auto& m, double pi) { methodC(m, pi, 1, 45, 1e150, 90, 1e10, 1); }, "M6203",
     kPowerOverflow},
    {"q beyond the largest double",
     [](auto& m, double pi) { methodC(m, pi, 1, 45, 1, 0, 1e300, 1e-10); }, "M6104", kOverflow},
    {"x beyond the largest double in method C",
     [](auto& m, double pi) { methodC(m, pi, 1, 45, 1e10, 0, 1e300, 1); }, "M6104", kOverflow},
};

TEST_F(ApogeeTest, EveryMathFailureOfTheMethodsHasItsNumberAndText) {
  for (const FailingMethod& row : kFailingMethods) {
    os.standardError.clear();
    const test::Ending ending = endingOf([&] { row.method(math, pi); });
    EXPECT_EQ(ending.status, 1) << row.name;
    EXPECT_EQ(ending.standardError, mathReport(row.number, row.message)) << row.name;
  }
}

TEST_F(ApogeeTest, UnderflowPassesSilently) {
  EXPECT_EQ(idealMethod1(math, 9.81, 1e-300), 0.0);
  const double subnormal = idealMethod2(math, 1e-300, 1e-10);
  EXPECT_GT(subnormal, 0.0);
  EXPECT_LT(subnormal, std::numeric_limits<double>::min());
  const Triangulation c = methodC(math, pi, 1e-300, 45, 1e-300, 90, 1e-300, 1e10);
  EXPECT_GE(c.OH2, 0.0);
  EXPECT_EQ(os.standardError, "");
}

}  // namespace
}  // namespace trovel
