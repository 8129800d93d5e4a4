// The whole program on the test platform, with the system made to refuse at
// one call: for each kind of call the program makes (the existence test,
// each open attempt, each read, the cut at the first write, each buffer
// transfer, the transfer at close, each close, standard error itself), fail
// its 1st, 2nd, ... use, once or from then on, until a run no longer gets
// that far. Each run must end with the one report that the refused call
// defines, status 1, and a report file holding exactly the transfers that
// went through. What each call was for comes from a trace of the run
// without the fault.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/failure.h"
#include "run/program.h"
#include "support/scratch-folder.h"
#include "support/test-host.h"
#include "support/test-platform.h"
#include "worked-example.h"

namespace trovel {
namespace {

using test::Call;
using test::kExampleReport;
using test::kIndexFile;
using test::readBytes;
using test::reportOf;
using test::TestPlatform;
using test::writeBytes;

constexpr const char* kCaseFile = "caso.txt";
constexpr std::size_t kBuffer = 1024;

// One call as the trace saw it: its kind and the file it was for.
struct TracedCall {
  Call call;
  std::string file;  // empty for standard error
};

// Passes every call on to the test platform and notes the file calls in order.
class TracingPlatform final : public Platform {
 public:
  explicit TracingPlatform(TestPlatform& os) : os_(os) {}
  std::vector<TracedCall> trace;

  FileHandle standardHandle(StandardStream stream) override { return os_.standardHandle(stream); }
  bool isConsole(FileHandle handle) override { return os_.isConsole(handle); }
  bool fileExists(const std::string& name) override {
    trace.push_back({Call::FileExists, name});
    return os_.fileExists(name);
  }
  std::string devicePath(const std::string& device) override { return os_.devicePath(device); }
  Opened openFile(const std::string& name, Access access, Disposition disposition) override {
    trace.push_back({Call::OpenFile, name});
    const Opened opened = os_.openFile(name, access, disposition);
    if (opened.error == OsError::None)
      names_[opened.handle.value] = open_[opened.handle.value] = name;
    return opened;
  }
  Transfer readFile(FileHandle handle, std::span<char> buffer) override {
    trace.push_back({Call::ReadFile, names_[handle.value]});
    return os_.readFile(handle, buffer);
  }
  Transfer writeFile(FileHandle handle, std::span<const char> bytes) override {
    const bool error = handle == os_.standardHandle(StandardStream::Error);
    trace.push_back({error ? Call::WriteStandardError : Call::WriteFile, names_[handle.value]});
    return os_.writeFile(handle, bytes);
  }
  OsError cutFile(FileHandle handle, std::uint64_t position) override {
    trace.push_back({Call::CutFile, names_[handle.value]});
    return os_.cutFile(handle, position);
  }
  OsError closeFile(FileHandle handle) override {
    trace.push_back({Call::CloseFile, names_[handle.value]});
    open_.erase(handle.value);
    return os_.closeFile(handle);
  }
  std::vector<std::string> arguments() override { return os_.arguments(); }
  std::optional<std::string> environmentVariable(const std::string& name) override {
    return os_.environmentVariable(name);
  }
  bool interpreterParsesCommands() override { return os_.interpreterParsesCommands(); }
  Started startProcess(char* commandLine) override { return os_.startProcess(commandLine); }
  int waitForProcess(ProcessHandle process) override { return os_.waitForProcess(process); }
  void recordFailureCause(int cause) override { os_.recordFailureCause(cause); }
  int lastFailureCause() override { return os_.lastFailureCause(); }
  [[noreturn]] void exitProcess(int status) override { os_.exitProcess(status); }

  // Closes what the run left open, as the end of its process would.
  void releaseHandles() {
    for (const auto& [handle, name] : open_) os_.closeFile(FileHandle{handle});
    open_.clear();
  }

 private:
  TestPlatform& os_;
  std::map<std::intptr_t, std::string> names_;  // every handle the run was given
  std::map<std::intptr_t, std::string> open_;   // those not closed yet
};

struct Fault {
  Call call;
  int nth;
  OsError error;
  bool persistent;
};

// How a run ended and what it left.
struct Outcome {
  int status = -1;
  std::string standardError;
  std::optional<std::string> report;  // the report file's bytes, none when it does not exist
  friend bool operator==(const Outcome&, const Outcome&) = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& outcome) {
  out << "status " << outcome.status << ", standard error \"" << outcome.standardError << "\", ";
  if (!outcome.report) return out << "no report file";
  return out << "report of " << outcome.report->size() << " bytes";
}

// The files a run starts from, and faults that belong to the setting itself.
struct Setting {
  std::string caseFile;
  std::optional<std::string> oldReport;  // a report file that exists before the run
  std::vector<Fault> faults;
};

Outcome runProgramWith(const Setting& setting, const std::vector<Fault>& faults,
                       std::vector<TracedCall>* trace = nullptr, int* callsMade = nullptr) {
  std::filesystem::remove(kExampleReport);
  writeBytes(kIndexFile, "caso.txt\r\n");
  writeBytes(kCaseFile, setting.caseFile);
  if (setting.oldReport) writeBytes(kExampleReport, *setting.oldReport);

  TestPlatform os;
  os.environment["COMSPEC"] = "trovel-no-such-interpreter";  // the commands fail fast
  for (const std::vector<Fault>* list : {&setting.faults, &faults}) {
    for (const Fault& fault : *list)
      os.failAt(fault.call, fault.nth, fault.error, fault.persistent);
  }
  TracingPlatform tracer(os);
  Outcome outcome;
  try {
    runProgram(tracer);
  } catch (const test::ProcessExit& exit) {
    outcome.status = exit.status;
  }
  if (callsMade && !faults.empty()) *callsMade = os.calls(faults.front().call);
  if (trace) *trace = tracer.trace;
  tracer.releaseHandles();
  outcome.standardError = os.standardError;
  if (std::filesystem::exists(kExampleReport)) outcome.report = readBytes(kExampleReport);
  return outcome;
}

FailureKind openFailureFor(OsError error) {
  static const std::map<OsError, FailureKind> kKinds = {
      {OsError::NotFound, FailureKind::FileNotFound},
      {OsError::AccessDenied, FailureKind::FileAccessDenied},
      {OsError::AlreadyExists, FailureKind::FileAlreadyExists},
      {OsError::TooManyOpenFiles, FailureKind::TooManyOpenFiles},
      {OsError::DiskFull, FailureKind::InvalidFileName},
      {OsError::Other, FailureKind::InvalidFileName},
  };
  return kKinds.at(error);
}

FailureKind writeFailureFor(OsError error) {
  return error == OsError::DiskFull ? FailureKind::DiskFull : FailureKind::WriteRefused;
}

// What a refusal of one call does to a run whose untroubled outcome is `clean`,
// from what the call was for. A refusal that the program rightly passes over
// leaves the clean outcome.
class Expectations {
 public:
  Expectations(const Setting& setting, Outcome clean, std::vector<TracedCall> trace)
      : setting_(setting), clean_(std::move(clean)), trace_(std::move(trace)) {}

  const Outcome& clean() const { return clean_; }
  // The files of the calls of one kind in the run without a fault, in order.
  std::vector<std::string> filesOf(Call call) const {
    std::vector<std::string> files;
    for (const TracedCall& traced : trace_) {
      if (traced.call == call) files.push_back(traced.file);
    }
    return files;
  }

  Outcome of(const Fault& fault) const {
    const std::size_t at = indexOf(fault.call, fault.nth);
    const std::string& file = trace_[at].file;
    const bool report = file == kExampleReport;
    switch (fault.call) {
      case Call::FileExists:
        // The file is created new, which fails when it is there.
        if (report && !setting_.oldReport) return clean_;
        return ended(reportOf(FailureKind::FileAlreadyExists, Statement::Open, file));
      case Call::OpenFile:
        if (fault.persistent) {
          return ended(reportOf(openFailureFor(fault.error), Statement::Open, file));
        }
        // The second attempt obtains read access: enough for the input files;
        // the report then refuses its first write, or its cut.
        if (!report) return clean_;
        return ended(reportOf(FailureKind::WriteRefused, Statement::Write, file),
                     setting_.oldReport.value_or(""));
      case Call::ReadFile:
        return ended(reportOf(FailureKind::ReadFailure, Statement::Read, file));
      case Call::CutFile:
        return ended(reportOf(writeFailureFor(fault.error), Statement::Write, file));
      case Call::WriteFile:
        return refusedTransfer(fault, at);
      case Call::CloseFile:
        // A file that was only read has lost nothing; the report's close counts.
        if (!refusesReportClose(fault)) return clean_;
        return withClosingReport(
            reportOf(writeFailureFor(fault.error), Statement::Close, kExampleReport));
      case Call::WriteStandardError:
        return lostReports(fault);
      case Call::StartProcess:
        break;  // a command that cannot be started changes nothing
    }
    return clean_;
  }

 private:
  std::size_t indexOf(Call call, int nth) const {
    int seen = 0;
    for (std::size_t i = 0; i < trace_.size(); ++i) {
      if (trace_[i].call == call && ++seen == nth) return i;
    }
    ADD_FAILURE() << "no call " << nth << " in the trace";
    return 0;
  }

  bool refusesReportClose(const Fault& fault) const {
    int n = 0;
    for (const TracedCall& traced : trace_) {
      if (traced.call != Call::CloseFile) continue;
      ++n;
      const bool refused = n == fault.nth || (fault.persistent && n > fault.nth);
      if (refused && traced.file == kExampleReport) return true;
    }
    return false;
  }

  // The run ends with `report` before the report file is written further.
  Outcome ended(const std::string& report) const { return Outcome{1, report, setting_.oldReport}; }
  Outcome ended(const std::string& report, const std::string& reportFile) const {
    return Outcome{1, report, reportFile};
  }

  // A transfer refused: the file holds the transfers before it. A transfer
  // in the run's own writes ends the run there; the last one belongs to the
  // close, by the run itself or by the closing step after a failure.
  Outcome refusedTransfer(const Fault& fault, std::size_t at) const {
    const std::string& file = trace_[at].file;
    const std::string kept = clean_.report->substr(0, (fault.nth - 1) * kBuffer);
    const bool atClose = at + 1 < trace_.size() && trace_[at + 1].call == Call::CloseFile &&
                         trace_[at + 1].file == file;
    if (!atClose) {
      return Outcome{1, reportOf(writeFailureFor(fault.error), Statement::Write, file), kept};
    }
    Outcome outcome =
        withClosingReport(reportOf(writeFailureFor(fault.error), Statement::Close, file));
    outcome.report = kept;
    return outcome;
  }

  // A failure at the close of the report: after a run that went well it is
  // the only report; in the closing step after a failure it follows that
  // failure's report. The status is 1 either way.
  Outcome withClosingReport(const std::string& report) const {
    Outcome outcome = clean_;
    outcome.status = 1;
    outcome.standardError = clean_.status == 0 ? report : clean_.standardError + report;
    return outcome;
  }

  // Standard error refuses: the reports written at the refused calls are lost, nothing else
  // changes.
  Outcome lostReports(const Fault& fault) const {
    Outcome outcome = clean_;
    outcome.standardError.clear();
    int n = 0;
    for (const std::string& report : cleanReports()) {
      ++n;
      const bool lost = n == fault.nth || (fault.persistent && n > fault.nth);
      if (!lost) outcome.standardError += report;
    }
    return outcome;
  }

  // The clean run's reports, one per write to standard error.
  std::vector<std::string> cleanReports() const {
    std::vector<std::string> reports;
    const std::string& all = clean_.standardError;
    for (std::size_t start = 0; start < all.size();) {
      const std::size_t next = all.find("\r\nrun-time error ", start + 2);
      const std::size_t end = next == std::string::npos ? all.size() : next;
      reports.push_back(all.substr(start, end - start));
      start = end;
    }
    return reports;
  }

  const Setting& setting_;
  Outcome clean_;
  std::vector<TracedCall> trace_;
};

std::string callName(Call call) {
  static const std::map<Call, std::string> kNames = {
      {Call::FileExists, "existence test"},
      {Call::OpenFile, "open attempt"},
      {Call::ReadFile, "read"},
      {Call::WriteFile, "transfer to a file"},
      {Call::CutFile, "cut"},
      {Call::CloseFile, "close"},
      {Call::StartProcess, "process start"},
      {Call::WriteStandardError, "standard error"},
  };
  return kNames.at(call);
}

class FaultSweep : public ::testing::Test {
 protected:
  // The run without a fault beyond the setting's own, checked against `clean`.
  Expectations traced(const Setting& setting, const Outcome& clean) {
    std::vector<TracedCall> trace;
    const Outcome outcome = runProgramWith(setting, {}, &trace);
    EXPECT_EQ(outcome, clean) << "the run without a fault";
    return Expectations(setting, outcome, trace);
  }

  // Fails the 1st, 2nd, ... call of `call`, once and from then on, with each
  // error, until a run makes fewer calls than the fault waits for.
  void sweep(const Setting& setting, const Expectations& expected, Call call,
             const std::vector<OsError>& errors) {
    for (const OsError error : errors) {
      for (const bool persistent : {false, true}) {
        for (int nth = 1;; ++nth) {
          const Fault fault{call, nth, error, persistent};
          int made = 0;
          const Outcome outcome = runProgramWith(setting, {fault}, nullptr, &made);
          if (made < nth) {
            EXPECT_EQ(outcome, expected.clean()) << "a fault never reached";
            EXPECT_GT(nth, 1) << callName(call) << " is never made";
            break;
          }
          EXPECT_EQ(outcome, expected.of(fault))
              << callName(call) << " " << nth << (persistent ? " and every later one" : " alone")
              << " refused with error " << static_cast<int>(error);
        }
      }
    }
  }

  test::ScratchFolder folder;
};

Outcome completedRun() {
  return Outcome{0, "", test::goldenReport()};
}

// The report of a zero tI: lines 1 to 46, with tI and Hi1 at zero, then the
// division by zero in method C.
Outcome divisionByZeroRun() {
  std::vector<std::string> lines = test::linesOf(test::goldenReport());
  lines.resize(46);
  lines[15] = "   0.000000E+00 = tI     = tempo de v\xF4o entre a decolagem e o impacto (s)";
  lines[26] = "   0.000000E+00 = Hi1 = trovel pelo m\xE9todo ideal 1 (m)";
  std::string report;
  for (const std::string& line : lines) report += line + "\r\n";
  return Outcome{1, "\r\nrun-time error M6103: MATH\r\n- floating-point error: divide by zero\r\n",
                 report};
}

const std::vector<OsError> kOpenErrors = {OsError::NotFound, OsError::AccessDenied,
                                          OsError::AlreadyExists, OsError::TooManyOpenFiles,
                                          OsError::Other};
const std::vector<OsError> kWriteErrors = {OsError::DiskFull, OsError::AccessDenied};

TEST_F(FaultSweep, EveryRefusalOfANewReportRunEndsWithItsReport) {
  const Setting setting{test::workedExampleCase(), std::nullopt, {}};
  ASSERT_GT(completedRun().report->size() % kBuffer, 0u) << "the last transfer is at the close";
  const Expectations expected = traced(setting, completedRun());
  sweep(setting, expected, Call::FileExists, {OsError::NotFound});
  sweep(setting, expected, Call::OpenFile, kOpenErrors);
  sweep(setting, expected, Call::ReadFile, {OsError::Other, OsError::AccessDenied});
  sweep(setting, expected, Call::WriteFile, kWriteErrors);
  sweep(setting, expected, Call::CloseFile, {OsError::DiskFull, OsError::Other});
  using Files = std::vector<std::string>;
  const std::string index = kIndexFile, data = kCaseFile, report = kExampleReport;
  EXPECT_EQ(expected.filesOf(Call::FileExists), (Files{index, data, report}));
  EXPECT_EQ(expected.filesOf(Call::OpenFile), (Files{index, data, report}));
  EXPECT_EQ(expected.filesOf(Call::ReadFile), (Files{index, data}));
  EXPECT_EQ(expected.filesOf(Call::WriteFile), (Files{report, report, report}));
  EXPECT_EQ(expected.filesOf(Call::CutFile), Files{}) << "a new file is not cut";
  EXPECT_EQ(expected.filesOf(Call::CloseFile), (Files{index, data, report}));
}

TEST_F(FaultSweep, EveryReadOfACaseFileOfSeveralBuffersCanFail) {
  // Each value with a comment of 400 bytes: the case file fills four buffers.
  std::string data = test::workedExampleCase();
  for (std::size_t at = 0; (at = data.find("\r\n", at)) != std::string::npos; at += 402) {
    data.insert(at, std::string(400, '-'));
  }
  const Setting setting{data, std::nullopt, {}};
  const Expectations expected = traced(setting, completedRun());
  EXPECT_EQ(expected.filesOf(Call::ReadFile).size(), 1u + (data.size() + kBuffer - 1) / kBuffer);
  sweep(setting, expected, Call::ReadFile, {OsError::Other});
}

TEST_F(FaultSweep, EveryRefusalOfAReplacedReportKeepsItsOldBytesUntilTheCut) {
  const Setting setting{test::workedExampleCase(), std::string(10000, '#'), {}};
  const Expectations expected = traced(setting, completedRun());
  sweep(setting, expected, Call::FileExists, {OsError::NotFound});
  sweep(setting, expected, Call::OpenFile, {OsError::AccessDenied});
  sweep(setting, expected, Call::CutFile, kWriteErrors);
  sweep(setting, expected, Call::WriteFile, {OsError::DiskFull});
  EXPECT_EQ(expected.filesOf(Call::CutFile), std::vector<std::string>{kExampleReport});
}

TEST_F(FaultSweep, RefusalsInTheClosingStepAfterAFailureAddTheirReportAndKeepStatusOne) {
  const Setting setting{test::workedExampleCase("0"), std::nullopt, {}};
  const Expectations expected = traced(setting, divisionByZeroRun());
  sweep(setting, expected, Call::WriteFile, kWriteErrors);
  sweep(setting, expected, Call::CloseFile, {OsError::DiskFull, OsError::AccessDenied});
  sweep(setting, expected, Call::WriteStandardError, {OsError::DiskFull});
}

TEST_F(FaultSweep, StandardErrorRefusingEitherOfTwoReportsLosesOnlyThatOne) {
  // A zero tI, and a full medium when the closing step hands over the rest of the report.
  Outcome twoReports = divisionByZeroRun();
  const std::size_t fullTransfers = twoReports.report->size() / kBuffer;
  const Fault fullAtClose{Call::WriteFile, static_cast<int>(fullTransfers) + 1, OsError::DiskFull,
                          true};
  const Setting setting{test::workedExampleCase("0"), std::nullopt, {fullAtClose}};
  twoReports.standardError += reportOf(FailureKind::DiskFull, Statement::Close, kExampleReport);
  twoReports.report->resize(fullTransfers * kBuffer);
  const Expectations expected = traced(setting, twoReports);
  sweep(setting, expected, Call::WriteStandardError, {OsError::DiskFull, OsError::Other});
}

TEST_F(FaultSweep, ShortTransfersLoseNothingAndATransferOfNoBytesIsAFullMedium) {
  const Setting setting{test::workedExampleCase(), std::nullopt, {}};
  for (const std::size_t most : {1u, 7u, 1000u}) {
    TestPlatform os;
    os.environment["COMSPEC"] = "trovel-no-such-interpreter";
    os.maxWriteBytes = most;
    writeBytes(kIndexFile, "caso.txt\r\n");
    writeBytes(kCaseFile, setting.caseFile);
    std::filesystem::remove(kExampleReport);
    EXPECT_EQ(test::exitStatusOf([&] { runProgram(os); }), 0) << most;
    EXPECT_EQ(readBytes(kExampleReport), test::goldenReport()) << most;
  }
  TestPlatform os;
  os.environment["COMSPEC"] = "trovel-no-such-interpreter";
  os.maxWriteBytes = 0;
  std::filesystem::remove(kExampleReport);
  EXPECT_EQ(test::exitStatusOf([&] { runProgram(os); }), 1);
  EXPECT_EQ(os.standardError, reportOf(FailureKind::DiskFull, Statement::Write, kExampleReport));
  EXPECT_EQ(readBytes(kExampleReport), "");
}

}  // namespace
}  // namespace trovel
