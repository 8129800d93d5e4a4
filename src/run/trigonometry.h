#pragma once
// Sine, cosine and tangent of a double in radians, with the same bits on every
// system: plain double arithmetic and integer arithmetic only, no library
// trigonometry. The argument is reduced exactly modulo pi/2 with a long value
// of 2/pi, so results are within about one unit in the last place even next
// to a multiple of pi/2.

namespace trovel::trigonometry {

// The largest argument magnitude the functions take: 2^63, excluded.
inline constexpr double kArgumentLimit = 0x1p63;

// Each takes a finite x with |x| < kArgumentLimit; any other x gives a NaN.
double sin(double x);
double cos(double x);
double tan(double x);

}  // namespace trovel::trigonometry
