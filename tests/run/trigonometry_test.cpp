#include "run/trigonometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace trovel::trigonometry {
namespace {

// Exact results, the same on every system; each one is the correctly rounded
// value, checked against a high-precision evaluation of the series.
struct Pinned {
  double x;
  double sin;
  double cos;
  double tan;
};

constexpr Pinned kPinned[] = {
    {0x1p-1074, 0x1p-1074, 0x1p+0, 0x1p-1074},
    {0x1.5p-600, 0x1.5p-600, 0x1p+0, 0x1.5p-600},
    {0x1p-30, 0x1p-30, 0x1p+0, 0x1p-30},
    {0x1p-1, 0x1.eaee8744b05fp-2, 0x1.c1528065b7d5p-1, 0x1.17b4f5bf3474ap-1},
    {0x1p+0, 0x1.aed548f090ceep-1, 0x1.14a280fb5068cp-1, 0x1.8eb245cbee3a6p+0},
    {-0x1.8p+1, -0x1.210386db6d55bp-3, -0x1.fae04be85e5d2p-1, 0x1.23ef71254b86fp-3},
    // the largest double below pi/4 and the next one, reduced from above
    {0x1.921fb54442d18p-1, 0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bcdp-1, 0x1.fffffffffffffp-1},
    {0x1.921fb54442d19p-1, 0x1.6a09e667f3bcdp-1, 0x1.6a09e667f3bccp-1, 0x1.0000000000001p+0},
    // the doubles next to pi/2, pi, 3pi/2 and 5pi/2: the tiny results come from
    // the exact reduction alone
    {0x1.921fb54442d18p+0, 0x1p+0, 0x1.1a62633145c07p-54, 0x1.d02967c31cdb5p+53},
    {0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53, -0x1p+0, -0x1.1a62633145c07p-53},
    {0x1.2d97c7f3321d2p+2, -0x1p+0, -0x1.a79394c9e8a0ap-53, 0x1.3570efd768923p+52},
    {0x1.f6a7a2955385ep+2, 0x1p+0, 0x1.60fafbfd97309p-52, 0x1.735453027d7c4p+51},
    {0x1.9p+6, -0x1.03425b78c4db8p-1, 0x1.b981dbf665fdfp-1, -0x1.2ca74d62b5d38p-1},
    {0x1.e848p+19, -0x1.6664b2568d867p-2, 0x1.df9df9906d32cp-1, -0x1.7e9768ab734cp-2},
    {-0x1.6bcc41e9p+46, 0x1.acde4341a9ee7p-3, -0x1.f4a5e8cbdb66ap-1, -0x1.b697b22025a6bp-3},
    // doubles below 2^63 closest to a multiple of pi/2 (within 2^-60)
    {0x1.6c6cbc45dc8dep+5, 0x1p+0, -0x1.6d61b58c99c43p-61, -0x1.66b9ebc4850c6p+60},
    {0x1.b951f1572eba5p+23, -0x1p+0, -0x1.f54f5227a4e84p-60, 0x1.057584c429b3ap+59},
    {0x1.7512069b7430dp+48, 0x1.61c21d74e1f63p-55, -0x1p+0, -0x1.61c21d74e1f63p-55},
    // the largest arguments taken
    {0x1.fffffffffffffp+62, 0x1.fa7299b17573dp-1, -0x1.2ccaf641d4262p-3, -0x1.af0792001f856p+2},
    {-0x1.fffffffffffffp+62, -0x1.fa7299b17573dp-1, -0x1.2ccaf641d4262p-3, 0x1.af0792001f856p+2},
};

TEST(Trigonometry, PinnedArgumentsGiveTheirExactBits) {
  for (const Pinned& p : kPinned) {
    EXPECT_EQ(sin(p.x), p.sin) << std::hexfloat << p.x;
    EXPECT_EQ(cos(p.x), p.cos) << std::hexfloat << p.x;
    EXPECT_EQ(tan(p.x), p.tan) << std::hexfloat << p.x;
  }
}

TEST(Trigonometry, ZeroKeepsItsSign) {
  EXPECT_TRUE(std::signbit(sin(-0.0)));
  EXPECT_TRUE(std::signbit(tan(-0.0)));
  EXPECT_FALSE(std::signbit(sin(0.0)));
  EXPECT_EQ(cos(-0.0), 1.0);
}

TEST(Trigonometry, ArgumentsFrom2To63OnAreNotTaken) {
  const double below = std::nextafter(kArgumentLimit, 0.0);
  for (const double x :
       {kArgumentLimit, -kArgumentLimit, 1e300, std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_TRUE(std::isnan(sin(x))) << x;
    EXPECT_TRUE(std::isnan(cos(x))) << x;
    EXPECT_TRUE(std::isnan(tan(x))) << x;
  }
  EXPECT_TRUE(std::isfinite(sin(below)) && std::isfinite(cos(below)) && std::isfinite(tan(below)));
}

}  // namespace
}  // namespace trovel::trigonometry
