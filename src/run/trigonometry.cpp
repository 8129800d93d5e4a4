#include "run/trigonometry.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace trovel::trigonometry {
namespace {

using Word = std::uint64_t;
using Wide = unsigned __int128;

// floor(2/pi * 2^256), most significant word first, and pi/4 * 2^128 rounded;
// both from scripts/derive-trig-constants.py.
constexpr std::array<Word, 4> kTwoOverPi = {0xa2f9836e4e441529, 0xfc2757d1f534ddc0,
                                            0xdb6295993c439041, 0xfe5163abdebbc561};
constexpr Wide kQuarterPi = (Wide{0xc90fdaa22168c234} << 64) | Wide{0xc4c6628b80dc1cd1};

// The largest double not above pi/4: arguments up to it need no reduction.
constexpr double kQuarterPiDouble = 0x1.921fb54442d18p-1;

// An unevaluated sum hi + lo with |lo| no more than about an ulp of hi: twice
// the precision of a double, built from exactly rounded double operations.
struct DoubleDouble {
  double hi;
  double lo;
};

constexpr double factorial(int n) {
  double product = 1.0;  // exact: every factorial up to 22! is a double
  for (int k = 2; k <= n; ++k) product *= k;
  return product;
}

// Taylor coefficients of sin(r) = r - r^3/6 + r^5 (s5 + s7 r^2 + ...) and of
// cos(r) = 1 - r^2/2 + r^4 (c4 + c6 r^2 + ...). Up to r^17 and r^18 the terms
// left out stay below 2^-62 of the result for |r| <= pi/4.
constexpr std::array<double, 7> kSine = {
    1.0 / factorial(5),  -1.0 / factorial(7),  1.0 / factorial(9),  -1.0 / factorial(11),
    1.0 / factorial(13), -1.0 / factorial(15), 1.0 / factorial(17),
};
constexpr std::array<double, 8> kCosine = {
    1.0 / factorial(4),  -1.0 / factorial(6),  1.0 / factorial(8),  -1.0 / factorial(10),
    1.0 / factorial(12), -1.0 / factorial(14), 1.0 / factorial(16), -1.0 / factorial(18),
};

// 1/6 as a sum of two doubles, from scripts/derive-trig-constants.py: the term
// r^3/6 is the largest after r and is formed to twice a double's precision.
constexpr DoubleDouble kSixth = {0x1.5555555555555p-3, 0x1.5555555555555p-57};

template <std::size_t N>
double polynomial(const std::array<double, N>& coefficients, double z) {
  double sum = coefficients.back();
  for (std::size_t i = coefficients.size() - 1; i-- > 0;) sum = coefficients[i] + z * sum;
  return sum;
}

DoubleDouble operator-(DoubleDouble v) {
  return {-v.hi, -v.lo};
}

// a + b exactly, for |a| >= |b|.
DoubleDouble fastTwoSum(double a, double b) {
  const double sum = a + b;
  return {sum, b - (sum - a)};
}

// The halves of a double's significand, 26 bits each, for exact products.
DoubleDouble split(double a) {
  const double scaled = 134217729.0 * a;  // 2^27 + 1
  const double high = scaled - (scaled - a);
  return {high, a - high};
}

// a * b exactly (for products far from overflow and underflow).
DoubleDouble twoProduct(double a, double b) {
  const double product = a * b;
  const DoubleDouble x = split(a);
  const DoubleDouble y = split(b);
  const double error = (((x.hi * y.hi - product) + x.hi * y.lo) + x.lo * y.hi) + x.lo * y.lo;
  return {product, error};
}

// a / b, rounded once from a quotient known to about twice a double's precision.
double divide(DoubleDouble a, DoubleDouble b) {
  const double first = a.hi / b.hi;
  const DoubleDouble back = twoProduct(first, b.hi);
  const double remainder = (((a.hi - back.hi) - back.lo) + a.lo) - first * b.lo;
  return first + remainder / b.hi;
}

double powerOfTwo(int exponent) {  // for exponents of normal doubles
  return std::bit_cast<double>(static_cast<Word>(exponent + 1023) << 52);
}

// A 320-bit product, least significant word first.
using Product = std::array<Word, 5>;
constexpr int kProductBits = 320;

// The 64 bits of `p` from bit `low` upwards; bits outside the product read as 0.
Word bitsFrom(const Product& p, int low) {
  if (low <= -64 || low >= kProductBits) return 0;
  if (low < 0) return bitsFrom(p, 0) << -low;
  const int word = low / 64;
  const int shift = low % 64;
  Word bits = p[word] >> shift;
  if (shift != 0 && word + 1 < static_cast<int>(p.size())) bits |= p[word + 1] << (64 - shift);
  return bits;
}

void clearFrom(Product& p, int position) {
  for (int bit = position; bit < kProductBits; ++bit) p[bit / 64] &= ~(Word{1} << (bit % 64));
}

void negate(Product& p) {
  Word carry = 1;
  for (Word& word : p) {
    word = ~word + carry;
    carry = (carry == 1 && word == 0) ? 1 : 0;
  }
}

int leadingBit(const Product& p) {
  for (int word = static_cast<int>(p.size()) - 1; word >= 0; --word) {
    if (p[word] != 0) return word * 64 + 63 - std::countl_zero(p[word]);
  }
  return -1;
}

// The high 128 bits of the 256-bit product a * b.
Wide multiplyHigh(Wide a, Wide b) {
  const Wide aLow = static_cast<Word>(a), aHigh = a >> 64;
  const Wide bLow = static_cast<Word>(b), bHigh = b >> 64;
  const Wide lowLow = aLow * bLow, lowHigh = aLow * bHigh;
  const Wide highLow = aHigh * bLow, highHigh = aHigh * bHigh;
  const Wide middle = (lowLow >> 64) + static_cast<Word>(lowHigh) + static_cast<Word>(highLow);
  return highHigh + (lowHigh >> 64) + (highLow >> 64) + (middle >> 64);
}

// x = (4k + quadrant) * pi/2 + r, |r| <= pi/4.
struct Reduced {
  unsigned quadrant;
  DoubleDouble r;
};

// The reduction of |x| >= pi/4: x * 2/pi as an exact product of the 53-bit
// significand with 256 bits of 2/pi, whose integer part gives the quadrant and
// whose fraction, known to far more bits than any cancellation near a multiple
// of pi/2 can take, is turned back into radians.
Reduced reduceLarge(double ax) {
  const Word bits = std::bit_cast<Word>(ax);
  const Word significand = (bits & ((Word{1} << 52) - 1)) | (Word{1} << 52);
  const int exponent = static_cast<int>(bits >> 52) - 1075;  // ax = significand * 2^exponent

  Product p{};
  Wide carry = 0;
  for (std::size_t i = 0; i < kTwoOverPi.size(); ++i) {
    const Wide term = Wide{significand} * kTwoOverPi[kTwoOverPi.size() - 1 - i] + carry;
    p[i] = static_cast<Word>(term);
    carry = term >> 64;
  }
  p[4] = static_cast<Word>(carry);

  const int point = 256 - exponent;  // bit of the units of ax * 2/pi
  unsigned quadrant = static_cast<unsigned>(bitsFrom(p, point) & 3);
  clearFrom(p, point);
  // A fraction of a half or more is taken as a negative one from the next quadrant.
  const bool negative = (bitsFrom(p, point - 1) & 1) != 0;
  if (negative) {
    quadrant = (quadrant + 1) & 3;
    negate(p);
    clearFrom(p, point);
  }

  const int lead = leadingBit(p);
  if (lead < 0) return {quadrant, {0.0, 0.0}};
  const Wide fraction = (Wide{bitsFrom(p, lead - 63)} << 64) | bitsFrom(p, lead - 127);
  // |r| = fraction * 2^(lead - 127 - point) * pi/2 = high * 2^(lead - point - 126)
  const Wide high = multiplyHigh(fraction, kQuarterPi);
  const int top = (high >> 127) != 0 ? 127 : 126;
  const int scale = lead - point - 126;
  const double hi =
      static_cast<double>(static_cast<Word>(high >> (top - 52))) * powerOfTwo(top - 52 + scale);
  const Word lowBits = static_cast<Word>(high >> (top - 105)) & ((Word{1} << 53) - 1);
  const double lo = static_cast<double>(lowBits) * powerOfTwo(top - 105 + scale);
  const DoubleDouble r = {hi, lo};
  return {quadrant, negative ? -r : r};
}

Reduced reduce(double x) {
  const double ax = std::fabs(x);
  if (ax <= kQuarterPiDouble) return {0, {x, 0.0}};
  Reduced reduced = reduceLarge(ax);
  if (x < 0) reduced = {(4 - reduced.quadrant) & 3, -reduced.r};
  return reduced;
}

// sin(r) for |r| <= pi/4; sin(hi + lo) = sin(hi) + lo * cos(hi), and
// 1 - hi^2/2 is cos(hi) to the precision that lo needs.
DoubleDouble sineKernel(DoubleDouble r) {
  const DoubleDouble square = twoProduct(r.hi, r.hi);
  DoubleDouble cube = twoProduct(r.hi, square.hi);
  cube.lo += r.hi * square.lo;
  DoubleDouble third = twoProduct(cube.hi, kSixth.hi);  // hi^3 / 6
  third.lo += cube.hi * kSixth.lo + cube.lo * kSixth.hi;
  const double z = square.hi;
  const double rest = (cube.hi * z) * polynomial(kSine, z);
  const DoubleDouble head = fastTwoSum(r.hi, -third.hi);
  const double low = head.lo + ((rest - third.lo) + (r.lo - (0.5 * z) * r.lo));
  return fastTwoSum(head.hi, low);
}

// cos(r) for |r| <= pi/4, with 1 - r^2/2 formed exactly.
DoubleDouble cosineKernel(DoubleDouble r) {
  DoubleDouble square = twoProduct(r.hi, r.hi);
  square.lo += (2.0 * r.hi) * r.lo;
  const DoubleDouble leading = fastTwoSum(1.0, -0.5 * square.hi);
  const double z = square.hi;
  const double tail = (z * z) * polynomial(kCosine, z);
  const double low = (leading.lo - 0.5 * square.lo) + tail;
  return fastTwoSum(leading.hi, low);
}

struct SineCosine {
  DoubleDouble sin;
  DoubleDouble cos;
};

// A quarter turn takes (sin, cos) to (cos, -sin).
SineCosine sineCosine(double x) {
  const Reduced reduced = reduce(x);
  const DoubleDouble s = sineKernel(reduced.r);
  const DoubleDouble c = cosineKernel(reduced.r);
  switch (reduced.quadrant) {
    case 0:
      return {s, c};
    case 1:
      return {c, -s};
    case 2:
      return {-s, -c};
    default:
      return {-c, s};
  }
}

bool inRange(double x) {
  return std::fabs(x) < kArgumentLimit;
}  // false for NaN too

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

double sin(double x) {
  if (!inRange(x)) return kNaN;
  if (x == 0.0) return x;  // keeps the sign of zero
  return sineCosine(x).sin.hi;
}

double cos(double x) {
  if (!inRange(x)) return kNaN;
  return sineCosine(x).cos.hi;
}

double tan(double x) {
  if (!inRange(x)) return kNaN;
  if (x == 0.0) return x;
  const SineCosine sc = sineCosine(x);
  return divide(sc.sin, sc.cos);
}

}  // namespace trovel::trigonometry
