#pragma once
// The report's one form of number: scientific notation in 15 columns, one
// digit before the point and six after, with a signed exponent.

#include <array>

namespace trovel {

using NumberField = std::array<char, 15>;

// The field for a finite double, right-aligned: three blanks and 1.234568E+08,
// two blanks and -9.810000E+00, 1.000000+100 for an exponent of three digits.
// The seven digits come from the value's 17 leading digits rounded from its
// first 18, not from the exact value (1.0000015 gives 1.000002E+00).
NumberField numberField(double value);

}  // namespace trovel
