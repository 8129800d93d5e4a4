// The program's entry: the host services of the run, and the run's stages
// wired to the command runner, the case files and the report writer.

#include "host/command-runner.h"
#include "host/connection.h"
#include "host/failure.h"
#include "host/platform.h"
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
}  // namespace trovel

int main(int argc, char** argv) {
  trovel::Platform& os = trovel::systemPlatform(argc, argv);
  trovel::Failures failures(os);
  trovel::Units units(os, failures);
  trovel::ProgramStages stages(units);
  trovel::RunDriver(stages, failures).run();
}
