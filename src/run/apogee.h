#pragma once
// The run's value of pi, the derived azimuth beta and the five methods that
// estimate a model rocket's apogee. Every operation is done in doubles in the
// order written in each function (it decides the last bits of the results),
// through CheckedArithmetic, so the first invalid operation, division by zero
// or overflow ends the run with its math failure report. Angles are in
// degrees, turned into radians with `pi` / 180.

#include "run/checked-arithmetic.h"

namespace trovel {

// The height and the ground point under it found by a triangulation method:
// x parallel and y perpendicular to OL from L, OH2 the ground distance from O.
struct Triangulation {
  double H = 0.0;
  double x = 0.0;
  double y = 0.0;
  double OH2 = 0.0;
};

// acos(-1.0), the double nearest to pi.
double computePi();

// (gama + 180) - lambda, less 360 once if it is 360 or more.
double deriveBeta(const CheckedArithmetic& math, double gama, double lambda);

// Ideal method 1: a free fall lasting half the flight time tI.
double idealMethod1(const CheckedArithmetic& math, double g, double tI);

// Ideal method 2: a free fall lasting the time tH to the apogee.
double idealMethod2(const CheckedArithmetic& math, double g, double tH);

// Method A: the apogee vertically above L.
double methodA(const CheckedArithmetic& math, double pi, double LO, double alfa);

// Method B: the apogee above the middle of LI.
Triangulation methodB(const CheckedArithmetic& math, double pi, double LO, double alfa, double LI,
                      double beta);

// Method C: the apogee above the point at the fraction tH / tI of LI.
Triangulation methodC(const CheckedArithmetic& math, double pi, double LO, double alfa, double LI,
                      double beta, double tH, double tI);

}  // namespace trovel
