#pragma once
// The run: one fixed sequence of steps from the first Notepad window to the
// exit status, with no loop and no branch. The driver owns the run's data and
// calls its stages through RunStages; the apogee methods it calls directly.

#include <cstdint>
#include <string_view>

#include "host/failure.h"
#include "run/fixed-text.h"
#include "run/records.h"

namespace trovel {

// The stages of a run: the command runner, the reading of the index file and
// of the case file, and the report writer. None reports a failure to the
// driver: each step completes, or ends the run itself through Failures.
class RunStages {
 public:
  virtual ~RunStages() = default;

  // Runs `command` (its exact length, trailing blanks included; valid only
  // during the call) through the command interpreter and returns once the
  // interpreter has ended. The driver does not use the result.
  virtual std::int32_t runCommand(std::string_view command) = 0;

  // The first value of the index file, read through unit 8, which is free again
  // on return. 50 NUL characters when the value is null.
  virtual FixedText<50> readCaseFileName() = 0;

  // Reads caso, g, tH, tI, LO, alfa, LI, gama, lambda and titulo, in this order,
  // from the file named by all 50 characters of `caseFileName`, through unit 8,
  // which is free again on return. A null value keeps the field; beta is not read.
  virtual void loadCase(const FixedText<50>& caseFileName, CaseData& data) = 0;

  // The report writer. `open` connects unit 10 to the file named by all 50
  // characters of `caso`; each write leaves one complete block in the unit's
  // buffer; `close` disconnects unit 10, the report complete on disk.
  virtual void open(const FixedText<50>& caso) = 0;
  virtual void writeHeader(const CaseData& data) = 0;
  virtual void writeIdealMethod1(double Hi1) = 0;
  virtual void writeIdealMethod2(double Hi2) = 0;
  virtual void writeMethodA(double HA) = 0;
  virtual void writeMethodB(double HB, double x, double y, double OH2) = 0;
  virtual void writeMethodC(double HC, double x, double y, double OH2) = 0;
  virtual void writeDefinitions() = 0;
  virtual void close() = 0;
};

class RunDriver {
 public:
  RunDriver(RunStages& stages, Failures& failures) : stages_(stages), failures_(failures) {}
  RunDriver(const RunDriver&) = delete;
  RunDriver& operator=(const RunDriver&) = delete;

  // The whole run, each step once and in order: the index file, the case file,
  // the report block by block, each method's block right after the method, and
  // the report in Notepad. Ends the process with status 0, or with status 1
  // through the failure report of the first step that fails.
  [[noreturn]] void run();

 private:
  RunStages& stages_;
  Failures& failures_;

  // The run's data, all zero before the first step.
  double pi_ = 0.0;
  FixedText<50> caseFileName_;
  CaseData case_;
  ApogeeEstimates estimates_;
};

}  // namespace trovel
