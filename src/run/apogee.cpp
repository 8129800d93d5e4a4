#include "run/apogee.h"

#include <cmath>

namespace trovel {
namespace {

// The elevation e and the azimuth a in radians, each in its own order of operands.
double elevation(const CheckedArithmetic& math, double pi, double alfa) {
  return math.divide(math.multiply(alfa, pi), 180.0);
}

double azimuth(const CheckedArithmetic& math, double pi, double beta) {
  return math.divide(math.multiply(pi, beta), 180.0);
}

// Methods B and C put the apogee over (x, y); OH2 reaches it from O.
Triangulation heightOver(const CheckedArithmetic& math, double pi, double LO, double alfa, double x,
                         double y) {
  const double OH2 = math.sqrt(math.add(math.sq(math.add(LO, x)), math.sq(y)));
  return {math.multiply(math.tan(elevation(math, pi, alfa)), OH2), x, y, OH2};
}

}  // namespace

double computePi() {
  return std::acos(-1.0);
}

double deriveBeta(const CheckedArithmetic& math, double gama, double lambda) {
  double b = math.subtract(math.add(gama, 180.0), lambda);
  if (b >= 360.0) b = math.subtract(b, 360.0);  // once only: no other wrapping
  return b;
}

double idealMethod1(const CheckedArithmetic& math, double g, double tI) {
  return math.divide(math.multiply(math.sq(math.divide(tI, 2.0)), g), 2.0);
}

double idealMethod2(const CheckedArithmetic& math, double g, double tH) {
  return math.divide(math.multiply(math.sq(tH), g), 2.0);
}

double methodA(const CheckedArithmetic& math, double pi, double LO, double alfa) {
  return math.multiply(math.tan(elevation(math, pi, alfa)), LO);
}

Triangulation methodB(const CheckedArithmetic& math, double pi, double LO, double alfa, double LI,
                      double beta) {
  const double a = azimuth(math, pi, beta);
  const double x = math.divide(math.multiply(math.cos(a), LI), 2.0);
  const double y = math.divide(math.multiply(math.sin(a), LI), 2.0);
  return heightOver(math, pi, LO, alfa, x, y);
}

Triangulation methodC(const CheckedArithmetic& math, double pi, double LO, double alfa, double LI,
                      double beta, double tH, double tI) {
  const double a = azimuth(math, pi, beta);
  const double q = math.divide(tH, tI);
  const double x = math.multiply(math.multiply(math.cos(a), q), LI);
  const double y = math.multiply(math.multiply(math.sin(a), q), LI);
  return heightOver(math, pi, LO, alfa, x, y);
}

}  // namespace trovel
