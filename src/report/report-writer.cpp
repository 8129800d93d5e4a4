#include "report/report-writer.h"

#include <initializer_list>
#include <iterator>

#include "report/stripped-text.h"

namespace trovel {
namespace {

enum Block { Header, IdealMethod1, IdealMethod2, MethodA, MethodB, MethodC, Definitions };

// The format text of each block, one piece for each line of the report; the
// letters outside ASCII as their code page 1252 bytes.
// clang-format off
constexpr FormatText kFormats[] = {
    // Header
    "(/,1X,'Sa\xED" "da do programa TROVEL 1.1, vers\xE3" "o de 1 Nov 2008',/,"
    "/,1X,'Caso   = ',A,/,"
    "/,1X,'T\xED" "tulo = ',A,/,"
    "/,3X,'N = dire\xE7" "\xE3" "o norte da b\xFA" "ssola',/,"
    "3X,'L = ponto de lan\xE7" "amento do espa\xE7" "omodelo',/,"
    "3X,'I = ponto de impacto do espa\xE7" "omodelo com o solo',/,"
    "3X,'O = ponto do observador com alt\xED" "metro manual',/,"
    "3X,'H = trovel do espa\xE7" "omodelo (altura atingida)',/,"
    "/,1P,E15.6,' = g      = acelera\xE7" "\xE3" "o gravitacional do local do lan\xE7" "amento (m/s2)',/,"
    "1P,E15.6,' = tH     = tempo de v\xF4" "o entre a decolagem e o trovel (s)',/,"
    "1P,E15.6,' = tI     = tempo de v\xF4" "o entre a decolagem e o impacto (s)',/,"
    "1P,E15.6,' = LO     = dist\xE2" "ncia entre os pontos L e O (m)',/,"
    "1P,E15.6,' = alfa   = \xE2" "ngulo de eleva\xE7" "\xE3" "o entre OL e OH (graus)',/,"
    "1P,E15.6,' = LI     = dist\xE2" "ncia entre os pontos L e I (m)',/,"
    "1P,E15.6,' = gama   = \xE2" "ngulo de azimute entre LN e LO (graus)',/,"
    "1P,E15.6,' = lambda = \xE2" "ngulo de azimute entre LN e LI (graus)',/,"
    "1P,E15.6,' = beta   = \xE2" "ngulo de azimute entre OL e LI (graus)')",
    // IdealMethod1
    "(/,/,1X,'-------------- M\xC9" "TODO IDEAL 1: g, tI -------------------------------',/,"
    "/,1P,E15.6,' = Hi1 = trovel pelo m\xE9" "todo ideal 1 (m)')",
    // IdealMethod2
    "(/,/,1X,'-------------- M\xC9" "TODO IDEAL 2: g, tH -------------------------------',/,"
    "/,1P,E15.6,' = Hi2 = trovel pelo m\xE9" "todo ideal 2 (m)')",
    // MethodA
    "(/,/,1X,'-------------- M\xC9" "TODO A: LO, alfa -----------------------------------',/,"
    "/,1P,E15.6,' = HA = trovel pelo m\xE9" "todo A (m)')",
    // MethodB
    "(/,/,1X,'-------------- M\xC9" "TODO B: LO, alfa, LI, beta --------------------------',/,"
    "/,1P,E15.6,' = HB = trovel pelo m\xE9" "todo B (m)',/,"
    "/,15X,1P,E15.6,' = x   (m)',/,"
    "15X,1P,E15.6,' = y   (m)',/,"
    "15X,1P,E15.6,' = OH2 (m)')",
    // MethodC
    "(/,/,1X,'-------------- M\xC9" "TODO C: LO, alfa, LI, beta, tH, tI ------------------',/,"
    "/,1P,E15.6,' = HC = trovel pelo m\xE9" "todo C (m)',/,"
    "/,15X,1P,E15.6,' = x   (m)',/,"
    "15X,1P,E15.6,' = y   (m)',/,"
    "15X,1P,E15.6,' = OH2 (m)')",
    // Definitions
    "(/,/,1X,'-------------- DEFINI\xC7" "\xD5" "ES ADICIONAIS ---------------------------------',/,"
    "/,'x   = deslocamento de H, em rela\xE7" "\xE3" "o a L, no sentido paralelo a OL (m)',/,"
    "'y   = deslocamento de H, em rela\xE7" "\xE3" "o a L, no sentido perpendicular a OL (m)',/,"
    "'OH2 = dist\xE2" "ncia entre os pontos O e H no plano do solo (m)')",
};
// clang-format on

static_assert(std::size(kFormats) == Definitions + 1);
static_assert(kFormats[Header].takesValues("AAEEEEEEEEE"));
static_assert(kFormats[IdealMethod1].takesValues("E"));
static_assert(kFormats[IdealMethod2].takesValues("E"));
static_assert(kFormats[MethodA].takesValues("E"));
static_assert(kFormats[MethodB].takesValues("EEEE"));
static_assert(kFormats[MethodC].takesValues("EEEE"));
static_assert(kFormats[Definitions].takesValues(""));

}  // namespace

void ReportWriter::open(const FixedText<50>& caso) {
  units_.openUnit(kUnit, caso.view());
}

void ReportWriter::writeHeader(const CaseData& data) {
  writer_.beginWrite(kUnit, kFormats[Header]);
  writer_.addText(strippedText(data.caso).text());
  writer_.addText(strippedText(data.titulo).text());
  for (const double value :
       {data.g, data.tH, data.tI, data.LO, data.alfa, data.LI, data.gama, data.lambda, data.beta}) {
    writer_.addReal(value);
  }
  writer_.endWrite();
}

void ReportWriter::writeIdealMethod1(double Hi1) {
  writeNumbers(IdealMethod1, {Hi1});
}

void ReportWriter::writeIdealMethod2(double Hi2) {
  writeNumbers(IdealMethod2, {Hi2});
}

void ReportWriter::writeMethodA(double HA) {
  writeNumbers(MethodA, {HA});
}

void ReportWriter::writeMethodB(double HB, double x, double y, double OH2) {
  writeNumbers(MethodB, {HB, x, y, OH2});
}

void ReportWriter::writeMethodC(double HC, double x, double y, double OH2) {
  writeNumbers(MethodC, {HC, x, y, OH2});
}

void ReportWriter::writeDefinitions() {
  writeNumbers(Definitions, {});
}

void ReportWriter::close() {
  units_.closeUnit(kUnit);
}

void ReportWriter::writeNumbers(int block, std::initializer_list<double> values) {
  writer_.beginWrite(kUnit, kFormats[block]);
  for (const double value : values) writer_.addReal(value);
  writer_.endWrite();
}

}  // namespace trovel
