#pragma once
// The report file: the case's title and measurements and the apogee by each
// of the five methods, written block by block to unit 10 by one formatted
// write each, in code page 1252, 62 lines in all.

#include <initializer_list>

#include "host/connection.h"
#include "report/record-writer.h"
#include "run/fixed-text.h"
#include "run/records.h"

namespace trovel {

class ReportWriter {
 public:
  static constexpr int kUnit = 10;

  explicit ReportWriter(Units& units) : units_(units), writer_(units) {}

  // Connects unit 10 to the file named by all 50 characters of `caso`.
  void open(const FixedText<50>& caso);
  // Each writes one block into the unit's output buffer: it is complete there
  // on return, and reaches the file when the buffer fills or the unit closes.
  void writeHeader(const CaseData& data);                        // lines 1 to 22
  void writeIdealMethod1(double Hi1);                            // lines 23 to 27
  void writeIdealMethod2(double Hi2);                            // lines 28 to 32
  void writeMethodA(double HA);                                  // lines 33 to 37
  void writeMethodB(double HB, double x, double y, double OH2);  // lines 38 to 46
  void writeMethodC(double HC, double x, double y, double OH2);  // lines 47 to 55
  void writeDefinitions();                                       // lines 56 to 62
  // Disconnects unit 10; the rest of the buffer goes to the file, which stays.
  void close();

 private:
  // One write of `block`'s format text with number values only.
  void writeNumbers(int block, std::initializer_list<double> values);

  Units& units_;
  RecordWriter writer_;
};

}  // namespace trovel
