// The built program against faults that the system itself makes: a full
// medium, a folder where the report should go, too few file descriptors, and
// no standard error at all. Each run must end with its one report (or none
// where there is nowhere to write it), status 1, and input files unchanged.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/failure.h"
#include "support/child-process.h"
#include "support/scratch-folder.h"
#include "support/test-host.h"
#include "worked-example.h"

namespace trovel {
namespace {

using test::kIndexFile;
using test::readBytes;
using test::reportOf;
using test::writeBytes;

constexpr const char* kCaseFile = "caso.txt";

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

class RealFault : public ::testing::Test {
 protected:
  // The worked example with `casoLine` as its first line.
  void writeCase(const std::string& casoLine, std::string_view tI = "10") {
    std::string data = test::workedExampleCase(tI);
    data.replace(0, data.find('\r'), casoLine);
    writeBytes(kIndexFile, "caso.txt\r\n");
    writeBytes(kCaseFile, data);
    caseBytes_ = data;
  }

  // Runs the program in the folder; by default the interpreter cannot be
  // found, so the editing steps are skipped.
  test::ChildResult run(test::ChildProgram child = {},
                        const std::string& comspec = "trovel-no-such-interpreter") {
    child.program = test::trovelPath();
    child.workingFolder = folder.path();
    child.environment.push_back({"COMSPEC", comspec});
    return test::runChild(child);
  }

  void expectInputsUnchanged() {
    EXPECT_EQ(readBytes(kIndexFile), "caso.txt\r\n");
    EXPECT_EQ(readBytes(kCaseFile), caseBytes_);
  }

  test::ScratchFolder folder;
  std::string caseBytes_;
};

TEST_F(RealFault, ReportOnAFullMediumEndsWithDiskFullAtTheFirstTransfer) {
  if (kWindows) GTEST_SKIP() << "under Wine, see full-medium-wine-test.sh";
  // Each name as the case file writes it, and as the report shows it.
  struct Row {
    std::string line;
    std::string name;
  };
  std::filesystem::create_symlink("/dev/full", "cheio.txt");
  const std::vector<Row> rows = {{"'/dev/full'", "/dev/full"}, {"cheio.txt", "cheio.txt"}};
  for (const Row& row : rows) {
    writeCase(row.line);
    const test::ChildResult result = run();
    EXPECT_EQ(result.exitCode, 1) << row.name;
    EXPECT_EQ(result.standardError, reportOf(FailureKind::DiskFull, Statement::Write, row.name));
    EXPECT_EQ(result.standardOutput, "");
    expectInputsUnchanged();
  }
}

TEST_F(RealFault, FolderAsReportNameIsRefusedBeforeAnythingIsWritten) {
  std::filesystem::create_directory("saida");
  writeCase("saida");
  const test::ChildResult result = run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError,
            reportOf(FailureKind::FileAccessDenied, Statement::Open, "saida"));
  EXPECT_TRUE(std::filesystem::is_empty("saida"));
  expectInputsUnchanged();
}

TEST_F(RealFault, NoFreeFileDescriptorEndsWithTooManyOpenFiles) {
  if (kWindows) GTEST_SKIP() << "Windows has no per-process limit of open handles to set";
  writeCase(test::kExampleReport);
  // The command that opens the case file in the editor leaves the program
  // only the three descriptors of its standard streams (set before the
  // start, the limit would stop the loader).
  writeBytes("limite.sh",
             "#!/bin/sh\n"
             "[ \"$3\" = caso.txt ] && exec prlimit --pid \"$PPID\" --nofile=3:3\n"
             "exit 0\n");
  std::filesystem::permissions("limite.sh", std::filesystem::perms::owner_all);
  // The leak check of a sanitizer build needs a descriptor of its own at exit.
  test::ChildProgram child;
  child.environment = {{"ASAN_OPTIONS", "halt_on_error=1:detect_leaks=0"}};
  const test::ChildResult result = run(child, (folder.path() / "limite.sh").string());
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError,
            reportOf(FailureKind::TooManyOpenFiles, Statement::Open, kCaseFile));
  EXPECT_FALSE(std::filesystem::exists(test::kExampleReport));
  expectInputsUnchanged();
}

TEST_F(RealFault, WithoutStandardErrorAFailedRunEndsWithStatusOneAndTouchesNoFile) {
  // The value of g is not a number; the report has nowhere to go.
  std::string data = test::workedExampleCase();
  data.replace(data.find("9.81"), 4, "9.81m");
  writeBytes(kIndexFile, "caso.txt\r\n");
  writeBytes(kCaseFile, data);
  caseBytes_ = data;
  test::ChildProgram child;
  child.standardErrorClosed = true;
  const test::ChildResult result = run(child);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardOutput, "");
  expectInputsUnchanged();
  EXPECT_FALSE(std::filesystem::exists(test::kExampleReport));
}

TEST_F(RealFault, WithoutStandardErrorAGoodRunWritesItsReport) {
  writeCase(test::kExampleReport);
  test::ChildProgram child;
  child.standardErrorClosed = true;
  const test::ChildResult result = run(child);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(readBytes(test::kExampleReport), test::goldenReport());
  expectInputsUnchanged();
}

TEST_F(RealFault, FullMediumInTheClosingStepAddsItsReportAndTheStatusStaysOne) {
  if (kWindows) GTEST_SKIP() << "Wine's full medium is a device, whose buffer the header overfills";
  // The header fits in one buffer; g = 1E308 overflows in ideal method 1, and
  // the closing step then hands the header to the full medium.
  const std::string name = "/dev/full";
  writeCase("'" + name + "'");
  std::string data = caseBytes_;
  data.replace(data.find("9.81"), 4, "1E308");
  writeBytes(kCaseFile, data);
  caseBytes_ = data;
  for (const bool closed : {false, true}) {
    test::ChildProgram child;
    child.standardErrorClosed = closed;
    const test::ChildResult result = run(child);
    EXPECT_EQ(result.exitCode, 1) << closed;
    if (!closed) {
      EXPECT_EQ(result.standardError,
                "\r\nrun-time error M6104: MATH\r\n- floating-point error: overflow\r\n" +
                    reportOf(FailureKind::DiskFull, Statement::Close, name));
    }
    EXPECT_EQ(result.standardOutput, "");
    expectInputsUnchanged();
  }
}

}  // namespace
}  // namespace trovel
