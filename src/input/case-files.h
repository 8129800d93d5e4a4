#pragma once
// The two input files of a run: the index file, whose first value names the
// case file, and the case file with its ten values, one to a line, each line
// free to carry a comment after its value. Both are read on unit 8, which is
// free again when each operation returns; neither file is written.

#include "host/connection.h"
#include "run/fixed-text.h"
#include "run/records.h"

namespace trovel {

// Reads the case file's name from the index file "Trovel_1p1_dados.txt" in
// the current folder. A null value leaves the name at 50 NUL characters.
FixedText<50> readCaseFileName(Units& units);

// Reads the case file named by `caseFileName` into `data`: caso, g, tH, tI,
// LO, alfa, LI, gama, lambda and titulo, one read each, in this order. A
// field whose read finds a null value keeps what it held; beta is not touched.
void loadCase(Units& units, const FixedText<50>& caseFileName, CaseData& data);

}  // namespace trovel
