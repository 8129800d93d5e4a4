#include "input/number-text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <system_error>

namespace trovel {
namespace {

using enum FailureKind;

std::uint64_t bitsOf(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

// One text and what it must convert to: the bits of a double, or a failure.
struct NumberRow {
  std::string_view text;
  double value;
  std::optional<FailureKind> failure;
};

NumberRow yields(std::string_view text, double value) {
  return {text, value, {}};
}
NumberRow fails(std::string_view text, FailureKind kind) {
  return {text, 0.0, kind};
}

void expectConversions(std::initializer_list<NumberRow> rows) {
  for (const NumberRow& row : rows) {
    const NumberConversion conversion = convertNumber(row.text);
    if (row.failure) {
      EXPECT_EQ(conversion.failure, row.failure) << row.text;
    } else {
      EXPECT_EQ(conversion.failure, std::nullopt) << row.text;
      EXPECT_EQ(bitsOf(conversion.value), bitsOf(row.value))
          << row.text << " gave " << std::hexfloat << conversion.value;
    }
  }
}

TEST(NumberText, AcceptsEveryFormOfTheGrammarAndNothingElse) {
  expectConversions({
      yields("9.81", 9.81),
      yields("1.5E2", 150.0),
      yields("1.5e2", 150.0),
      yields("1.5D2", 150.0),
      yields("1.5d+2", 150.0),
      yields("1.5+2", 150.0),
      yields("15E1", 150.0),
      yields("1.5-3", 0.0015),
      yields("2+4", 20000.0),
      yields("1.5E-2", 0.015),
      yields("+7", 7.0),
      yields("-7", -7.0),
      yields(".5", 0.5),
      yields("5.", 5.0),
      yields("-.5e1", -5.0),
      yields("80", 80.0),
      yields("80.", 80.0),
      yields("8E1", 80.0),
      yields("8.0D1", 80.0),
      yields("000123.4500e-2", 1.2345),
      yields("1e0000000000000000000000000000002", 100.0),
      fails("1.5E", InvalidNumber),
      fails("1.5+", InvalidNumber),
      fails("1.5E+", InvalidNumber),
      fails("1.5E+-3", InvalidNumber),
      fails("1.5EE3", InvalidNumber),
      fails("9.81m", InvalidNumber),
      fails("1.2.3", InvalidNumber),
      fails("1E2.5", InvalidNumber),
      fails("--1", InvalidNumber),
      fails("+-1", InvalidNumber),
      fails("", InvalidNumber),
      fails(".", InvalidNumber),
      fails("+", InvalidNumber),
      fails("-.", InvalidNumber),
      fails("e5", InvalidNumber),
      fails(".e5", InvalidNumber),
      fails("1,5", InvalidNumber),
      fails("inf", InvalidNumber),
      fails("nan", InvalidNumber),
      fails("0x1p3", InvalidNumber),
      fails("\xEF\xBB\xBF"
            "9.81",
            InvalidNumber),
      fails("9.81\x1A", InvalidNumber),
  });
}

TEST(NumberText, TooLargeIsOverflowEvenWithCharactersLeftOver) {
  expectConversions({
      fails("1E400", NumberOverflow),
      fails("-1E400", NumberOverflow),
      fails("1E400m", NumberOverflow),
      fails("1E400.5", NumberOverflow),
      fails("1e99999999999999999999999999", NumberOverflow),
      fails("0.0000000000000000000000000000001e340", NumberOverflow),
      yields("1.7976931348623157e308", 0x1.fffffffffffffp+1023),
      fails("1.7976931348623159e308", NumberOverflow),
      // The exact midpoint between the largest double and 2^1024 rounds to even: too large.
      fails("17976931348623158079372897140530341507993413271003782693617377898044496829276475094"
            "66490179775872070963302864166928879109465555478519404026306574886715058206819089020"
            "00708383676273854845817711531764475730270069855571366959622842914819860834936475292"
            "719074168444365510704342711559699508093042880177904174497792",
            NumberOverflow),
      yields("17976931348623158079372897140530341507993413271003782693617377898044496829276475094"
             "66490179775872070963302864166928879109465555478519404026306574886715058206819089020"
             "00708383676273854845817711531764475730270069855571366959622842914819860834936475292"
             "719074168444365510704342711559699508093042880177904174497791",
             0x1.fffffffffffffp+1023),
  });
}

TEST(NumberText, TooSmallBecomesASubnormalOrAZeroOfItsSign) {
  expectConversions({
      yields("1E-400", 0.0),
      yields("-1E-400", -0.0),
      yields("1e-99999999999999999999999", 0.0),
      yields("4.9406564584124654e-324", 0x1p-1074),
      yields("2.4703282292062328e-324", 0x1p-1074),
      yields("-2.4703282292062328e-324", -0x1p-1074),
      yields("2.4703282292062327e-324", 0.0),
      yields("-2.4703282292062327e-324", -0.0),
      yields("2.2250738585072011e-308", 0x0.fffffffffffffp-1022),
      yields("2.2250738585072012e-308", 0x1p-1022),
      yields("1e-320", 0x7e8p-1074),
      // Zero with any exponent is zero, and keeps its sign.
      yields("0", 0.0),
      yields("-0", -0.0),
      yields("0.000e99999", 0.0),
      yields("-0e-400", -0.0),
  });
}

TEST(NumberText, RoundsToTheNearestDoubleWhateverTheNumberOfDigits) {
  const std::string tie = "1.00000000000000011102230246251565404236316680908203125";  // 1 + 2^-53
  const std::string zeros(800, '0');
  expectConversions({
      yields("9007199254740993", 0x1p53),  // a tie goes to the even neighbour
      yields("9007199254740993.000000000000000000000000000001", 0x1.0000000000001p53),
      yields("9007199254740992.999999999999999999999999999999", 0x1p53),
      yields(tie, 1.0),
      yields(tie + zeros, 1.0),
      yields(tie + zeros + "1", 0x1.0000000000001p0),  // the deciding digit comes after 850 others
      yields("1.000000000000000111022302462515654042363166809082031249" + zeros, 1.0),
      yields("0." + zeros + "15e801", 1.5),
      yields("15" + zeros + zeros + ".0001e-1601", 1.5),
  });
}

TEST(NumberText, ShortestTextOfAnyDoubleConvertsBackToTheSameBits) {
  std::mt19937_64 random(20261211);
  for (int i = 0; i < 20000; ++i) {
    const double value = std::bit_cast<double>(random());
    if (!std::isfinite(value)) continue;
    char text[64];
    const auto format = i % 2 == 0 ? std::chars_format::scientific : std::chars_format::general;
    const auto written = std::to_chars(text, text + sizeof text, value, format);
    ASSERT_EQ(written.ec, std::errc());
    const std::string_view view(text, static_cast<std::size_t>(written.ptr - text));
    const NumberConversion conversion = convertNumber(view);
    ASSERT_EQ(conversion.failure, std::nullopt) << view;
    ASSERT_EQ(bitsOf(conversion.value), bitsOf(value)) << view;
  }
}

// The conversion relies on the standard library's from_chars, and both
// implementations (Linux and Windows) must behave as it expects: a result
// that rounds to zero or to infinity is out of range and leaves the
// destination untouched, a subnormal result is delivered.
TEST(NumberText, StandardConversionBehavesAsTheConversionExpects) {
  for (const std::string_view text : {"1e-400", "2.4703282292062327e-324", "1e400"}) {
    double value = 42.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_EQ(result.ec, std::errc::result_out_of_range) << text;
    EXPECT_EQ(result.ptr, text.data() + text.size()) << text;
    EXPECT_EQ(value, 42.0) << text;
  }
  for (const std::string_view text : {"2.4703282292062328e-324", "1e-320", "5.", ".5"}) {
    double value = 42.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_EQ(result.ec, std::errc()) << text;
    EXPECT_EQ(result.ptr, text.data() + text.size()) << text;
    EXPECT_NE(value, 42.0) << text;
  }
}

struct CountRow {
  std::string_view text;
  std::int32_t count;
  std::optional<FailureKind> failure;
  bool cutShort = false;
};

TEST(RepeatCount, DecimalAndBasedCountsAndEveryFailure) {
  const CountRow rows[] = {
      {"2", 2, {}},
      {"+3", 3, {}},
      {"-3", -3, {}},  // a negative count is accepted
      {"2147483647", 2147483647, {}},
      {"-2147483648", -2147483647 - 1, {}},
      {"#FF", 255, {}},
      {"#ff", 255, {}},
      {"16#fF", 255, {}},
      {"2#101", 5, {}},
      {"36#zZ", 35 * 36 + 35, {}},
      {"#7FFFFFFF", 2147483647, {}},
      {"", 0, ZeroRepeatCount},
      {"0", 0, ZeroRepeatCount},
      {"-0", 0, ZeroRepeatCount},
      {"000", 0, ZeroRepeatCount},
      {"#0", 0, ZeroRepeatCount},
      {"2147483648", 0, IntegerOverflow},
      {"-2147483649", 0, IntegerOverflow},
      {"99999999999999999999999999", 0, IntegerOverflow},
      {"#80000000", 0, IntegerOverflow},
      {"2#11111111111111111111111111111111", 0, IntegerOverflow},
      {"caso", 0, InvalidInteger},
      {"2.5", 0, InvalidInteger},
      {"1-2", 0, InvalidInteger},
      {"+", 0, InvalidInteger},
      {"#", 0, InvalidInteger},
      {"16#", 0, InvalidInteger},
      {"8#8", 0, InvalidInteger},
      {"2#2", 0, InvalidInteger},
      {"-16#1", 0, InvalidInteger},
      {"x#1", 0, InvalidInteger},
      {"16#1#1", 0, RadixMarkTwice},
      {"##", 0, RadixMarkTwice},
      {"1#1", 0, InvalidRadix},
      {"37#1", 0, InvalidRadix},
      {"0#1", 0, InvalidRadix},
      {"99999999999999999999#1", 0, InvalidRadix},
      {"1#2#3", 0, InvalidRadix},  // the characters are checked from the left
      {"12", 0, IntegerOverflow, true},
      {"000", 0, IntegerOverflow, true},
      {"C:\\dados", 0, InvalidInteger, true},
      {"16#1#", 0, RadixMarkTwice, true},
  };
  for (const CountRow& row : rows) {
    const RepeatCountConversion conversion = convertRepeatCount(row.text, row.cutShort);
    EXPECT_EQ(conversion.failure, row.failure) << row.text;
    if (!row.failure) {
      EXPECT_EQ(conversion.count, row.count) << row.text;
    }
  }
}

}  // namespace
}  // namespace trovel
