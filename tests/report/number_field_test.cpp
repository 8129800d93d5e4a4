#include "report/number-field.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "exact-number-field.h"

namespace trovel {
namespace {

using test::exactNumberField;

std::string fieldOf(double value) {
  const NumberField field = numberField(value);
  return std::string(field.data(), field.size());
}

double parsed(const std::string& text) {
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

struct FieldRow {
  double value;
  const char* field;
};

TEST(NumberField, EdgeCases) {
  const FieldRow rows[] = {
      {0.0, "   0.000000E+00"},
      {-0.0, "   0.000000E+00"},
      {99.99999999999999, "   1.000000E+02"},
      {-9.81, "  -9.810000E+00"},
      {9.81, "   9.810000E+00"},
      {0.5, "   5.000000E-01"},
      {123456789, "   1.234568E+08"},
      {1e100, "   1.000000+100"},
      {1e-100, "   1.000000-100"},
      {-1e-100, "  -1.000000-100"},
      {std::numeric_limits<double>::max(), "   1.797693+308"},
      {-std::numeric_limits<double>::max(), "  -1.797693+308"},
      {0x1p-1074, "   4.940656-324"},
      {std::numeric_limits<double>::min(), "   2.225074-308"},
      // Just below 1.0000015, but its first 18 digits round to 1.0000015.
      {1.0000015, "   1.000002E+00"},
      // Just below 9.9999995, and its 17 digits keep the 4 in the eighth place.
      {9.9999995, "   9.999999E+00"},
      {9.9999995e99, "   9.999999E+99"},
      {9.99999951e99, "   1.000000+100"},
      {1e99, "   1.000000E+99"},
      {1e-99, "   1.000000E-99"},
      {-60, "  -6.000000E+01"},
      {1, "   1.000000E+00"},
      {0.1, "   1.000000E-01"},
      {1e-5, "   1.000000E-05"},
  };
  for (const FieldRow& row : rows) {
    EXPECT_EQ(fieldOf(row.value), row.field) << std::hexfloat << row.value;
  }
}

// The doubles of the two rounding edge cases lie below their decimals: the
// exact values rounded once to seven digits would give 1.000001 and 9.999999,
// while their first 18 digits round to 17 as 1.0000015000000000 and
// 9.9999994999999995.
TEST(NumberField, EdgeCaseDoublesLieBelowTheirDecimals) {
  EXPECT_EQ(test::exactDecimal(1.0000015).digits.substr(0, 18), "100000149999999998");
  EXPECT_EQ(test::exactDecimal(9.9999995).digits.substr(0, 18), "999999949999999948");
}

TEST(NumberField, MatchesTheExactRenderingOnRandomDoubles) {
  std::mt19937_64 random(20081101);
  for (int i = 0; i < 20000; ++i) {
    const double value = std::bit_cast<double>(random());
    if (!std::isfinite(value)) continue;
    ASSERT_EQ(fieldOf(value), exactNumberField(value)) << std::hexfloat << value;
  }
}

// A value rounds up at the seventh digit exactly when its remainder reaches
// 0.49999999995 units of that digit; the doubles on both sides of that bound
// are where the first rounding, at the 18th digit, decides the result.
TEST(NumberField, MatchesTheExactRenderingAroundEveryRoundingBound) {
  std::mt19937_64 random(62);
  std::uniform_int_distribution<int> leading(1000000, 9999999);
  std::uniform_int_distribution<int> exponent(-320, 300);
  int roundedUpByTheEighteenthDigit = 0;
  for (int i = 0; i < 4000; ++i) {
    const std::string seven = std::to_string(leading(random));
    const std::string bound = seven.substr(0, 1) + "." + seven.substr(1) + "49999999995e" +
                              std::to_string(exponent(random));
    double value = parsed(bound);
    for (int step = 0; step < 4; ++step) value = std::nextafter(value, 0.0);
    for (int step = 0; step < 8; ++step, value = std::nextafter(value, 1e308)) {
      for (const double signed_value : {value, -value}) {
        ASSERT_EQ(fieldOf(signed_value), exactNumberField(signed_value))
            << std::hexfloat << signed_value << " near " << bound;
      }
      const std::string digits = test::exactDecimal(value).digits;
      if (digits.size() > 17 && digits.compare(7, 10, "4999999999") == 0 && digits[17] >= '5') {
        ++roundedUpByTheEighteenthDigit;
      }
    }
  }
  EXPECT_GT(roundedUpByTheEighteenthDigit, 100);
}

// Where the 17 leading digits carry into the next power of ten.
TEST(NumberField, MatchesTheExactRenderingAtEveryPowerOfTen) {
  for (int e = -323; e <= 308; ++e) {
    double value = parsed("1e" + std::to_string(e));
    for (int step = 0; step < 3; ++step) value = std::nextafter(value, 0.0);
    for (int step = 0; step < 6; ++step, value = std::nextafter(value, 1e308)) {
      ASSERT_EQ(fieldOf(value), exactNumberField(value)) << std::hexfloat << value;
    }
  }
}

}  // namespace
}  // namespace trovel
