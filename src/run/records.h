#pragma once
// The case as read and the apogee estimates computed from it. Every field is
// zero before the run's first step: texts of NUL characters, reals +0.0.

#include "run/fixed-text.h"

namespace trovel {

struct CaseData {
  FixedText<50> caso;    // case name, also the name of the report file
  double g = 0.0;        // gravitational acceleration at the launch site (m/s2)
  double tH = 0.0;       // flight time from lift-off to apogee (s)
  double tI = 0.0;       // flight time from lift-off to impact (s)
  double LO = 0.0;       // distance between launch point L and observer O (m)
  double alfa = 0.0;     // elevation angle between OL and OH (degrees)
  double LI = 0.0;       // distance between launch point L and impact point I (m)
  double gama = 0.0;     // azimuth between north and LO (degrees)
  double lambda = 0.0;   // azimuth between north and LI (degrees)
  FixedText<90> titulo;  // case title
  double beta = 0.0;     // azimuth between OL and LI (degrees), derived
};

struct ApogeeEstimates {
  double Hi1 = 0.0;  // ideal method 1
  double Hi2 = 0.0;  // ideal method 2
  double HA = 0.0;   // method A
  double HB = 0.0;   // method B
  double HC = 0.0;   // method C
  double x = 0.0;    // displacement of H from L, parallel to OL (method B, then C)
  double y = 0.0;    // displacement of H from L, perpendicular to OL (method B, then C)
  double OH2 = 0.0;  // ground distance from O to H (method B, then C)
};

}  // namespace trovel
