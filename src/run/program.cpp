#include "run/program.h"

#include "host/command-runner.h"
#include "host/connection.h"
#include "host/failure.h"
#include "input/case-files.h"
#include "report/report-writer.h"
#include "run/driver.h"

namespace trovel {
namespace {

class ProgramStages final : public RunStages {
 public:
  explicit ProgramStages(Units& units) : units_(units), report_(units) {}

  std::int32_t runCommand(std::string_view command) override {
    return trovel::runCommand(units_.os(), units_.failures(), command);
  }
  FixedText<50> readCaseFileName() override { return trovel::readCaseFileName(units_); }
  void loadCase(const FixedText<50>& caseFileName, CaseData& data) override {
    trovel::loadCase(units_, caseFileName, data);
  }
  void open(const FixedText<50>& caso) override { report_.open(caso); }
  void writeHeader(const CaseData& data) override { report_.writeHeader(data); }
  void writeIdealMethod1(double Hi1) override { report_.writeIdealMethod1(Hi1); }
  void writeIdealMethod2(double Hi2) override { report_.writeIdealMethod2(Hi2); }
  void writeMethodA(double HA) override { report_.writeMethodA(HA); }
  void writeMethodB(double HB, double x, double y, double OH2) override {
    report_.writeMethodB(HB, x, y, OH2);
  }
  void writeMethodC(double HC, double x, double y, double OH2) override {
    report_.writeMethodC(HC, x, y, OH2);
  }
  void writeDefinitions() override { report_.writeDefinitions(); }
  void close() override { report_.close(); }

 private:
  Units& units_;
  ReportWriter report_;
};

}  // namespace

void runProgram(Platform& os) {
  Failures failures(os);
  Units units(os, failures);
  ProgramStages stages(units);
  RunDriver(stages, failures).run();
}

}  // namespace trovel
