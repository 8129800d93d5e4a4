#include "input/case-files.h"

#include <array>
#include <string_view>

#include "input/value-reader.h"

namespace trovel {
namespace {

constexpr int kInputUnit = 8;
constexpr std::string_view kIndexFileName = "Trovel_1p1_dados.txt";

// The real values of a case, in the order of their lines between caso and titulo.
constexpr std::array kMeasurements = {&CaseData::g,    &CaseData::tH,    &CaseData::tI,
                                      &CaseData::LO,   &CaseData::alfa,  &CaseData::LI,
                                      &CaseData::gama, &CaseData::lambda};

}  // namespace

FixedText<50> readCaseFileName(Units& units) {
  FixedText<50> caseFileName;
  units.openUnit(kInputUnit, kIndexFileName);
  readText(units, kInputUnit, caseFileName);
  units.closeUnit(kInputUnit);
  return caseFileName;
}

void loadCase(Units& units, const FixedText<50>& caseFileName, CaseData& data) {
  units.openUnit(kInputUnit, caseFileName.view());
  readText(units, kInputUnit, data.caso);
  for (double CaseData::*field : kMeasurements) readReal(units, kInputUnit, data.*field);
  readText(units, kInputUnit, data.titulo);
  units.closeUnit(kInputUnit);
}

}  // namespace trovel
