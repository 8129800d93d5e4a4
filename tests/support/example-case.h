#pragma once
// The report's worked example as a case in memory, as the case file gives it:
// names and title padded with blanks, `beta` not yet derived.

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "run/records.h"

namespace trovel::test {

// A fixed text holding `text` and blanks after it, as a read stores a value.
template <std::size_t N>
FixedText<N> blankPadded(std::string_view text) {
  FixedText<N> fixed;
  fixed.bytes.fill(' ');
  std::copy_n(text.begin(), std::min(text.size(), N), fixed.bytes.begin());
  return fixed;
}

inline CaseData reportExampleCase() {
  CaseData data;
  data.caso = blankPadded<50>("Voo01_saida.txt");
  data.g = 9.81;
  data.tH = 4;
  data.tI = 10;
  data.LO = 100;
  data.alfa = 30;
  data.LI = 50;
  data.gama = 10;
  data.lambda = 250;
  data.titulo = blankPadded<90>(
      "Lan\xE7"
      "amento de teste 1, motor B6-4");
  return data;
}

}  // namespace trovel::test
